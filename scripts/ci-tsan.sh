#!/usr/bin/env bash
# The thread stress test under ThreadSanitizer: a build folder of its own that
# compiles the plug-in library (JUCE included) instrumented and links only the
# stress test. Any data race the test provokes fails the run.
set -euo pipefail

cd "$(dirname "$0")/.."

export CCACHE_SLOPPINESS=time_macros

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELIN_TSAN=ON
cmake --build build-tsan --target TarvelinStressTests -j"$(nproc)"
ctest --test-dir build-tsan --output-on-failure
