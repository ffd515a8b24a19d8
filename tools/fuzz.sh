#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz, and runs each for a fixed time from its seed corpus in tests/fuzz/corpus.
#
#   tools/fuzz.sh [SECONDS]     (default 20 per target)
#
# Inputs the search finds go to a scratch directory; the committed seeds are not changed. A crash,
# leak or sanitizer report stops the script with the reproducing input in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
targets=(curverecord fraction)

bash tools/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja \
    -DCORE_BUILD_FUZZERS=ON \
    -DCORE_BUILD_BENCHMARKS=OFF \
    -DCORE_SANITIZE=address,undefined
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
for target in "${targets[@]}"; do
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    echo "== fuzz_$target for ${seconds}s"
    build-fuzz/tests/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build-fuzz/ "$scratch" "tests/fuzz/corpus/$target"
    rm -rf "$scratch"
    trap - EXIT
done
