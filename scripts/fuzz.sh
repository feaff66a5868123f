#!/usr/bin/env bash
# scripts/fuzz.sh [SECONDS] [TARGET...]: builds the libFuzzer targets with
# clang (address and undefined-behaviour sanitizers) in build-fuzz/, then
# runs each target for SECONDS (default 60), one at a time, and prints a
# table: executions, coverage (edges), corpus size, crashes, timeouts and
# out-of-memory inputs.
#
# Everything the fuzzer finds stays outside the tree, in $QM_FUZZ_OUT
# (default /work/fuzz-out, else ~/.cache/quillmark-fuzz): corpus/<target>/
# keeps the corpus across runs, artifacts/<target>/ the crashing, hanging
# and oversized inputs. A fault, once fixed, goes into
# tests/fuzz/regressions/<target>/, which ctest replays in the normal build.
# Each input may take 2 s and allocate 256 MiB at most.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
shift || true
all=(label object clipboard stream templates ini mru bmp ico jpeg wmf emf rtf json build)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

# The fuzz build needs clang and libFuzzer's runtime; the normal build and
# its tests do not, so they are installed here rather than by setup.sh.
need=()
for pkg in clang libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

build=${QM_FUZZ_BUILD_DIR:-$top/build-fuzz}
if [ -z "${QM_FUZZ_OUT:-}" ]; then
    if [ -d /work ] && [ -w /work ]; then QM_FUZZ_OUT=/work/fuzz-out; else QM_FUZZ_OUT=$HOME/.cache/quillmark-fuzz; fi
fi
out=$QM_FUZZ_OUT
jobs=${QM_JOBS:-$(nproc)}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_FUZZ=ON \
        -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}"
fi
# QM_FUZZ_KEEP_SEEDS=1 reuses the seeds made by an earlier run.
build_targets=()
for t in "${targets[@]}"; do build_targets+=("fuzz_$t"); done
[ -n "${QM_FUZZ_KEEP_SEEDS:-}" ] || build_targets+=(fuzz_seeds qm_template_library)
cmake --build "$build" -j "$jobs" --target "${build_targets[@]}"

export QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$out/seeds" "$out/corpus" "$out/artifacts" "$out/logs"
# The generator only writes files: what Qt's font cache holds at its exit
# is no finding.
[ -n "${QM_FUZZ_KEEP_SEEDS:-}" ] \
    || ASAN_OPTIONS=detect_leaks=0 "$build/bin/fuzz_seeds" "$out/seeds" "$build/bin/QMTPL.dat" >/dev/null

dictionary() {
    case $1 in
        label|object|clipboard|stream|templates) echo "$top/tests/fuzz/dict/stream.dict" ;;
        build) echo "$top/tests/fuzz/dict/json.dict" ;;
        mru) echo "$top/tests/fuzz/dict/ini.dict" ;;
        ini|wmf|emf|rtf|json) echo "$top/tests/fuzz/dict/$1.dict" ;;
    esac
}

extra_seeds() {
    case $1 in
        label) ls -d "$top/tests/tools/damaged" 2>/dev/null ;;
        templates) ls -d "$top/tests/layout/damaged" 2>/dev/null ;;
    esac
    [ -d "$top/tests/fuzz/regressions/$1" ] && echo "$top/tests/fuzz/regressions/$1"
    return 0
}

summary=()
for t in "${targets[@]}"; do
    corpus=$out/corpus/$t artifacts=$out/artifacts/$t/ log=$out/logs/$t.log
    mkdir -p "$corpus" "$artifacts"
    args=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1
          -max_total_time="$seconds" -timeout=2 -rss_limit_mb=${QM_FUZZ_RSS_MB:-2048} -malloc_limit_mb=256
          -max_len=65536 -artifact_prefix="$artifacts" -print_final_stats=1)
    dict=$(dictionary "$t")
    [ -n "$dict" ] && args+=(-dict="$dict")
    mapfile -t more < <(extra_seeds "$t")
    before=$(find "$artifacts" -type f | wc -l)
    echo "fuzzing $t for $seconds s"
    mkdir -p "$out/seeds/$t"
    "$build/bin/fuzz_$t" "${args[@]}" "$corpus" "$out/seeds/$t" "${more[@]}" >"$log" 2>&1 || true
    # Fork mode reports: #N: cov: C ft: F corp: K exec/s: E oom/timeout/crash: O/T/X time: S
    last=$(grep -E '^#[0-9]+: cov:' "$log" | tail -1)
    execs=$(sed -E 's/^#([0-9]+):.*/\1/' <<<"$last")
    cov=$(sed -E 's/.* cov: ([0-9]+).*/\1/' <<<"$last")
    counts=$(sed -E 's#.*oom/timeout/crash: ([0-9]+)/([0-9]+)/([0-9]+).*#\1 \2 \3#' <<<"$last")
    read -r ooms timeouts crashes <<<"${counts:-0 0 0}"
    size=$(find "$corpus" -type f | wc -l)
    new=$(( $(find "$artifacts" -type f | wc -l) - before ))
    summary+=("$(printf '%-10s %12s %8s %8s %8s %9s %5s %9s' "$t" "${execs:-0}" "${cov:-0}" "$size" \
        "${crashes:-0}" "${timeouts:-0}" "${ooms:-0}" "$new")")
done

printf '\n%-10s %12s %8s %8s %8s %9s %5s %9s\n' target executions edges corpus crashes timeouts oom artifacts
printf '%s\n' "${summary[@]}"
echo "corpus and artifacts in $out"
