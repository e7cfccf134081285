#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS (default 30) on a
# copy of its seed corpus, after replaying the corpus itself. A crash, a sanitizer report or a
# failed check is a failure of this script. New inputs go to fuzz/corpus-new/ (not in git).
#
#   FUZZ_SECONDS=600 tools/fuzz.sh            # ten minutes a target
#   FUZZ_SECONDS=0 tools/fuzz.sh              # replay the corpus only
#   FUZZ_CXXFLAGS=-O0 tools/fuzz.sh           # a quicker build (./test.sh's)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
if ! command -v clang++ >/dev/null; then
    # Under CI nothing may pass by being skipped; elsewhere it is said loudly.
    if [ "${CI:-}" = true ]; then
        echo "fuzz: FAILED: clang++ not found (install clang and libclang-rt-14-dev)" >&2
        exit 1
    fi
    echo "fuzz: WARNING: clang++ not found, the fuzz targets were NOT run" >&2
    exit 0
fi
targets="conversions number_reader open_data solve lp_reader mps_reader"
# -O1 with line tables: the usual fuzzing build, and quicker to compile than -O2 -g.
# FUZZ_CXXFLAGS=-O0 compiles in half the time, for a short run that mostly replays the corpus.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_CXX_FLAGS="${FUZZ_CXXFLAGS:--O1 -gline-tables-only}" -DKVADO_FUZZ=ON -DKVADO_WITH_UI=OFF \
    -DKVADO_TESTS=OFF -DKVADO_BENCH=OFF >/dev/null
cmake --build build/fuzz -j"$(nproc)" --target $(printf 'fuzz_%s ' $targets) >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One target: its replay, then its fuzzing; what it says goes to $work/$target.out and whether
# it passed to $work/$target.failed.
run_target() {
    local target=$1 bin=build/fuzz/fuzz/fuzz_$1 corpus=fuzz/corpus/$1 top=$PWD
    mkdir -p "fuzz/corpus-new/$target"
    # Replay: every seed must pass.
    if ! (cd "$work" && "$top/$bin" -rss_limit_mb=4096 "$top/$corpus"/* >"$work/$target.replay.log" 2>&1); then
        { echo "fuzz: $target: a seed fails"; tail -20 "$work/$target.replay.log"; } >"$work/$target.out"
        touch "$work/$target.failed"
        return
    fi
    [ "$seconds" -gt 0 ] || return 0
    if (cd "$work" && "$top/$bin" -max_total_time="$seconds" -rss_limit_mb=4096 \
            -artifact_prefix="$work/$target-" "$top/fuzz/corpus-new/$target" "$top/$corpus" \
            >"$work/$target.log" 2>&1); then
        echo "fuzz: $target: $(grep -E '^Done' "$work/$target.log" || true)" >"$work/$target.out"
    else
        { echo "fuzz: $target: FAILED"; tail -30 "$work/$target.log"; } >"$work/$target.out"
        if ls "$work"/"$target"-* >/dev/null 2>&1; then
            mkdir -p fuzz/findings && cp "$work"/"$target"-* fuzz/findings/
        fi
        touch "$work/$target.failed"
    fi
}
# Each target fuzzes on one core: as many at once as there are cores (FUZZ_JOBS).
jobs=${FUZZ_JOBS:-$(nproc)}
for target in $targets; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
    run_target "$target" &
done
wait
failed=0
for target in $targets; do
    [ -f "$work/$target.out" ] && cat "$work/$target.out"
    [ -f "$work/$target.failed" ] && failed=1
done
if [ $failed = 0 ]; then echo "fuzz: $(echo $targets | wc -w) passed, 0 failed"; else echo "fuzz: failures above"; fi
exit $failed
