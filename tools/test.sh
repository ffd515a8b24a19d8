#!/usr/bin/env bash
# Installs what the project needs, configures, builds and runs the whole test suite with CTest.
#
#   tools/test.sh [--sanitize=LIST] [--label=LABEL] [--werror] [--build-dir=DIR]
#
# --sanitize=address,undefined or --sanitize=thread builds in a directory of its own (build-<LIST>)
# without the benchmarks; --label runs only the tests carrying that CTest label.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=""
label=""
werror=OFF
build_dir=""
for arg in "$@"; do
    case "$arg" in
        --sanitize=*) sanitize="${arg#*=}" ;;
        --label=*) label="${arg#*=}" ;;
        --werror) werror=ON ;;
        --build-dir=*) build_dir="${arg#*=}" ;;
        *) echo "unknown argument: $arg" >&2; exit 2 ;;
    esac
done
if [ -z "$build_dir" ]; then
    build_dir=build${sanitize:+-${sanitize//,/-}}
fi

bash tools/install-deps.sh

benchmarks=ON
[ -n "$sanitize" ] && benchmarks=OFF
cmake -S . -B "$build_dir" -G Ninja \
    -DCORE_SANITIZE="$sanitize" \
    -DCORE_WARNINGS_AS_ERRORS="$werror" \
    -DCORE_BUILD_BENCHMARKS="$benchmarks"
cmake --build "$build_dir"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
# Qt is built without ThreadSanitizer; what its own code does with mutexes and memory is not ours
# to judge, and TSan misreads it (e.g. Qt Test's watchdog thread at exit).
export TSAN_OPTIONS="halt_on_error=1:ignore_noninstrumented_modules=1${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
ctest --test-dir "$build_dir" --output-on-failure ${label:+-L "$label"}
