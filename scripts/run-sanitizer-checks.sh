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

# The unit tests run in one process per core rather than one per test, as
# ctest would: an instrumented process takes about half a second to start and
# end (the leak check), which is most of the suite's time at this build's
# 1,000-odd tests. Each shard's output is kept and shown if it fails.
shards="$build/tests/shards"
mkdir -p "$shards"
pids=()
for ((i = 0; i < jobs; i++)); do
    GTEST_TOTAL_SHARDS="$jobs" GTEST_SHARD_INDEX="$i" \
        timeout 1800 "$build/tests/TarvelinTests" > "$shards/$i.log" 2>&1 &
    pids+=("$!")
done
failed=0
for ((i = 0; i < jobs; i++)); do
    if ! wait "${pids[$i]}"; then
        cat "$shards/$i.log"
        echo "Unit test shard $i of $jobs failed"
        failed=1
    fi
done
grep -h "^\[  PASSED  \]" "$shards"/*.log
[[ $failed == 0 ]]

ctest --test-dir "$build" --output-on-failure -j"$jobs" --label-exclude "fuzz|unit"
ctest --test-dir "$build" --output-on-failure -j"$jobs" --label-regex fuzz
