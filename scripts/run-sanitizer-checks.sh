#!/usr/bin/env bash
# The sanitizer build: builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize (Clang), runs the whole test
# suite in it, then every fuzz target for TARVELIN_FUZZ_SECONDS seconds (20)
# and fuzz.timeout-fires, which shows an input past -timeout reported.
# A fuzz target that finds something leaves its input in
# build-sanitize/tests/fuzz/work/crashes/.
set -euo pipefail

cd "$(dirname "$0")/.."

build="${TARVELIN_SANITIZE_BUILD:-build-sanitize}"
seconds="${TARVELIN_FUZZ_SECONDS:-20}"
jobs="$(nproc)"

cmake -S . -B "$build" -G Ninja -DTARVELIN_SANITIZE=ON -DTARVELIN_FUZZ_SECONDS="$seconds"
cmake --build "$build" -j"$jobs"

ctest --test-dir "$build" --output-on-failure -j"$jobs" --label-exclude fuzz
ctest --test-dir "$build" --output-on-failure -j"$jobs" --label-regex fuzz
