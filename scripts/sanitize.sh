#!/usr/bin/env bash
# Builds the test suite with AddressSanitizer and UndefinedBehaviorSanitizer
# in its own build folder (no benchmarks, no fuzz targets) and runs it there.
# Any leak, overflow, use after free or undefined operation fails a test.
# Usage: scripts/sanitize.sh [ctest arguments...]; QM_SANITIZE_DIR picks the
# folder (default build-asan), QM_JOBS the parallel jobs (default nproc).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QM_SANITIZE_DIR:-$top/build-asan}
jobs=${QM_JOBS:-$(nproc)}
# -O1 with line tables only: a third quicker to build than the usual
# optimised build with full debug information, and the reports still name
# file and line.
flags="-O1 -g1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None \
        -DQM_BENCHMARKS=OFF "${launcher[@]}" \
        -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
fi
start=$(date +%s)
cmake --build "$build" -j "$jobs"
built=$(date +%s)

# Leaks inside system libraries (fontconfig, Qt's caches, CUPS) are listed
# narrowly in lsan.supp; ours are not.
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:abort_on_error=0:strict_string_checks=0:detect_stack_use_after_return=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
cd "$build"
status=0
ctest --output-on-failure -j "$jobs" "$@" || status=$?
done_at=$(date +%s)
echo "sanitizer build: $((built - start)) s, tests: $((done_at - built)) s"
exit $status
