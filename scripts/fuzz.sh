#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one over its seed corpus for a
# bounded time. A crash, a leak, an allocation of 1 MB or more from an input of
# at most 4 KB, or a broken promise of a target fails the run.
#   scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."

# clang with its libFuzzer and sanitizer runtimes comes from the bootstrap.
if ! command -v clang++ >/dev/null; then
    echo "clang++ is missing: scripts/deps.sh installs it." >&2
    exit 1
fi

seconds=${1:-20}
build=${QUOTAMIN_FUZZ_BUILD:-build/fuzz}
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2

for target in settings password cipher decimal; do
    # New inputs go to the build's own corpus; the seeds in fuzz/corpus stay as they are.
    mkdir -p "$build/corpus/$target"
    log="$build/$target.log"
    if ! "$build/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -malloc_limit_mb=1 \
        -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$build/$target-" \
        "$build/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$target failed; its log is $log, the input that broke it $build/$target-*"
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$target: $runs executions in $seconds s, nothing found"
done
