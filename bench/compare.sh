#!/usr/bin/env bash
# Compares kvado-cli with three LP solvers from Debian (glpsol of GLPK, clp of COIN-OR, lp_solve)
# on generated problems and on the Netlib problems, checks that all reach the same optimum and
# prints a Markdown table of CPU times and peak memory.
#
#   bench/compare.sh [N ...]        sizes; default $SIZES or "100 300 500 1000 2000"
#
# Environment:
#   RUNS=5          runs of each solver on each generated problem
#   RUNS_LARGE=     runs for N >= LARGE_N (default RUNS); LARGE_N=2000
#   NETLIB_RUNS=5   runs of each solver on each Netlib problem; NETLIB=0 skips them
#   SEED=42         seed of the generated problems
#   KVADO_THREADS=1 kvado-cli's --threads: 1 compares CPU time fairly; 2 lets the pivot share its
#                   columns with a second thread, which lowers wall time but not CPU time
#   NETLIB_DIR      NAME.dat, NAME.json and mps/NAME.mps (default ../shared/netlib)
#   WORK_DIR        problems, outputs and logs (default build/compare)
#   BUILD_DIR       Release build of kvado-cli (default build/release-cli); JOBS=2
#
# Generated problems: kvado-cli generate N N 1E-5 (N unknowns, N "<=" rows), written for the
# other solvers as free MPS by bench/dat2mps.awk. CPU time is user + sys of the whole process
# (reading the file, solving, writing the answer; kvado-cli also writes its trace log), from the
# shell's children times (1 ms resolution); peak memory is GNU time's %M. The solvers take turns
# run by run, so that other work on the machine slows all of them alike, and medians are shown.
# Exit status 1 when a solver misses the common optimum (1e-9 relative) or a published Netlib
# optimum (1e-6 relative).
set -euo pipefail
export LC_ALL=C

ROOT=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -gt 0 ]; then SIZES="$*"; fi
SIZES=${SIZES:-"100 300 500 1000 2000"}
RUNS=${RUNS:-5}
LARGE_N=${LARGE_N:-2000}
RUNS_LARGE=${RUNS_LARGE:-$RUNS}
NETLIB=${NETLIB:-1}
NETLIB_RUNS=${NETLIB_RUNS:-5}
SEED=${SEED:-42}
NETLIB_DIR=${NETLIB_DIR:-$ROOT/../shared/netlib}
WORK_DIR=${WORK_DIR:-$ROOT/build/compare}
BUILD_DIR=${BUILD_DIR:-$ROOT/build/release-cli}
JOBS=${JOBS:-2}
KVADO_THREADS=${KVADO_THREADS:-1}
PEERS=(glpsol clp lp_solve)

# --- what is needed ------------------------------------------------------------------------

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}
need=()
command -v glpsol >/dev/null || need+=(glpk-utils)
command -v clp >/dev/null || need+=(coinor-clp)
command -v lp_solve >/dev/null || need+=(lp-solve)
[ -x /usr/bin/time ] || need+=(time)
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(build-essential)
command -v awk >/dev/null || need+=(mawk)
if [ ${#need[@]} -gt 0 ]; then
    echo "Installing: ${need[*]}" >&2
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >&2
fi

mkdir -p "$WORK_DIR"
echo "Building kvado-cli (Release) in $BUILD_DIR" >&2
if ! { cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DKVADO_WITH_UI=OFF \
             -DKVADO_TESTS=OFF -DKVADO_BENCH=OFF &&
       cmake --build "$BUILD_DIR" --target kvado-cli -j"$JOBS"; } >"$WORK_DIR/build.log" 2>&1; then
    cat "$WORK_DIR/build.log" >&2
    exit 1
fi
KVADO=$BUILD_DIR/src/kvado-cli

# --- measuring -----------------------------------------------------------------------------

# measure PREFIX CMD...: runs CMD with its output in PREFIX.out and PREFIX.err; sets CPU
# (seconds, user + sys of CMD and its children) and RSS (peak KiB). A subshell's children times
# start at zero, and they include /usr/bin/time (well under a millisecond).
measure() {
    local p=$1
    shift
    (
        rc=0
        /usr/bin/time -f %M -o "$p.rss" "$@" >"$p.out" 2>"$p.err" || rc=$?
        times >"$p.times"
        exit "$rc"
    ) || true
    CPU=$(awk 'function sec(t, a) { sub(/s$/, "", t); split(t, a, "m"); return a[1] * 60 + a[2] }
               NR == 2 { printf "%.3f", sec($1) + sec($2) }' "$p.times")
    RSS=$(tail -n 1 "$p.rss")
}

median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# close A B TOL: |A - B| <= TOL * max(1, |B|)
close() {
    awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; m = b < 0 ? -b : b
                                             if (m < 1) m = 1; exit !(a != "" && d <= t * m) }'
}

fmt() { awk -v v="$1" -v d="$2" 'BEGIN { printf "%.*f", d, v }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# run_ours PREFIX FILE.dat: sets OBJ (empty unless optimal) and PASSES
run_ours() {
    mkdir -p "$1.log"
    measure "$1" "$KVADO" solve "$2" --json --log-dir "$1.log" --threads "$KVADO_THREADS"
    OBJ=""
    if grep -q '"status": "optimal"' "$1.out"; then
        OBJ=$(grep -o '"objective": [^,}]*' "$1.out" | awk '{ print $2 }')
    fi
    PASSES=$(grep -o '"passes": [0-9]*' "$1.out" | awk '{ print $2 }')
}

# run_peer PEER PREFIX FILE.mps FORMAT(free|fixed): sets OBJ (empty unless optimal)
run_peer() {
    local peer=$1 p=$2 file=$3 form=$4
    OBJ=""
    case $peer in
        glpsol)
            # -w: the solution with the objective in 15 digits; primal simplex (also the default)
            local opt=--freemps
            [ "$form" = fixed ] && opt=--mps
            rm -f "$p.sol"
            measure "$p" glpsol "$opt" "$file" --primal -w "$p.sol"
            [ -f "$p.sol" ] && OBJ=$(awk '$1 == "s" && $5 == "f" && $6 == "f" { print $NF }' "$p.sol")
            ;;
        clp)
            # clp prints 8 digits; its saved solution holds the objective as a double after the
            # row and column counts.
            rm -f "$p.bin"
            measure "$p" clp "$file" -primalSimplex -saveSolution "$p.bin"
            if grep -q '^Optimal - objective value' "$p.out" && [ -f "$p.bin" ]; then
                OBJ=$(od -A n -t f8 -j 8 -N 8 "$p.bin" | awk '{ print $1 }')
            fi
            ;;
        lp_solve)
            # prints the objective with 8 decimals; -S4 as an optimum is reported in full
            local opt=-fmps
            [ "$form" = fixed ] && opt=-mps
            measure "$p" lp_solve -S4 "$opt" "$file"
            OBJ=$(awk '/^Value of objective function:/ { v = $NF } END { print v }' "$p.out")
            ;;
    esac
}

FAILED=0
fail() {
    echo "FAIL: $*" >&2
    FAILED=1
}

# --- generated problems --------------------------------------------------------------------

declare -A T_OURS T_PEER MEM_OURS MEM_CLP PASS AGREE
for n in $SIZES; do
    dir=$WORK_DIR/gen-$n
    mkdir -p "$dir"
    if [ ! -f "$dir/BigData.mps" ] || [ ! -f "$dir/seed-$SEED" ]; then
        echo "Generating $n x $n (seed $SEED)" >&2
        rm -f "$dir"/seed-* "$dir"/BigData.*
        "$KVADO" generate "$n" "$n" 1E-5 --seed "$SEED" --dir "$dir" >/dev/null
        awk -f "$ROOT/bench/dat2mps.awk" "$dir/BigData.dat" >"$dir/BigData.mps.tmp"
        mv "$dir/BigData.mps.tmp" "$dir/BigData.mps"
        touch "$dir/seed-$SEED"
    fi
    runs=$RUNS
    [ "$n" -ge "$LARGE_N" ] && runs=$RUNS_LARGE
    echo "Solving $n x $n, $runs runs each" >&2
    ours=() mem=() clpmem=() glpsol=() clp=() lp_solve=()
    agree=yes
    for ((r = 1; r <= runs; r++)); do
        run_ours "$dir/ours.$r" "$dir/BigData.dat"
        ours+=("$CPU") mem+=("$RSS")
        ref=$OBJ
        PASS[$n]=$PASSES
        [ -n "$ref" ] || { fail "$n x $n: kvado-cli found no optimum"; agree=no; }
        for peer in "${PEERS[@]}"; do
            run_peer "$peer" "$dir/$peer.$r" "$dir/BigData.mps" free
            eval "$peer+=(\"\$CPU\")"
            [ "$peer" = clp ] && clpmem+=("$RSS")
            if [ -n "$ref" ] && ! close "$OBJ" "$ref" 1e-9; then
                fail "$n x $n: $peer ${OBJ:-(no optimum)} vs kvado-cli $ref"
                agree=no
            fi
        done
    done
    T_OURS[$n]=$(median "${ours[@]}")
    MEM_OURS[$n]=$(median "${mem[@]}")
    MEM_CLP[$n]=$(median "${clpmem[@]}")
    for peer in "${PEERS[@]}"; do
        eval "T_PEER[$n,$peer]=\$(median \"\${$peer[@]}\")"
    done
    AGREE[$n]=$agree
done

# --- Netlib --------------------------------------------------------------------------------

# jget FILE KEY: a top-level value of NAME.json (one key per line)
jget() { grep -m1 "^ \"$2\":" "$1" | sed 's/^[^:]*: *//; s/,$//; s/"//g'; }

# How each reader takes a value in the objective row's RHS: GLPK and lp_solve make it the
# constant -RHS, CLP the constant +RHS. (Only e226 has one; the published optimum leaves it out.)
declare -A RHS_SIGN=([glpsol]=-1 [clp]=1 [lp_solve]=-1)

declare -A NT
NT[ours]=0
for peer in "${PEERS[@]}"; do NT[$peer]=0; done
NETLIB_COUNT=0 NETLIB_OK=0
if [ "$NETLIB" != 0 ]; then
    if [ ! -d "$NETLIB_DIR/mps" ]; then
        echo "No Netlib problems in $NETLIB_DIR (set NETLIB_DIR, or NETLIB=0)" >&2
        exit 1
    fi
    echo "Solving the Netlib problems, $NETLIB_RUNS runs each" >&2
    {
        echo "| problem | ours s | glpsol s | clp s | lp_solve s | published optimum |"
        echo "|---|---|---|---|---|---|"
    } >"$WORK_DIR/netlib.md"
    for json in "$NETLIB_DIR"/*.json; do
        name=$(basename "$json" .json)
        dir=$WORK_DIR/netlib/$name
        mkdir -p "$dir"
        pub=$(jget "$json" expected_objective)
        sign=$(jget "$json" objective_sign)
        offset=$(jget "$json" objective_offset)
        form=$(jget "$json" mps_format)
        rhsc=$(jget "$json" objective_rhs_constant)
        rhsmode=$(jget "$json" objective_rhs_mode)
        NETLIB_COUNT=$((NETLIB_COUNT + 1))
        ok=1
        ours=() glpsol=() clp=() lp_solve=()
        for ((r = 1; r <= NETLIB_RUNS; r++)); do
            run_ours "$dir/ours.$r" "$NETLIB_DIR/$name.dat"
            ours+=("$CPU")
            z=$(awk -v z="$OBJ" -v s="$sign" -v o="$offset" 'BEGIN { if (z != "") printf "%.17g", s * z + o }')
            if ! close "$z" "$pub" 1e-6; then
                fail "Netlib $name: kvado-cli ${z:-(no optimum)} vs published $pub"
                ok=0
            fi
            for peer in "${PEERS[@]}"; do
                run_peer "$peer" "$dir/$peer.$r" "$NETLIB_DIR/mps/$name.mps" "$form"
                eval "$peer+=(\"\$CPU\")"
                want=$(awk -v p="$pub" -v c="$rhsc" -v k="${RHS_SIGN[$peer]}" -v m="$rhsmode" \
                       'BEGIN { printf "%.17g", p + (m == "ignore" ? 0 : c) + k * c }')
                if ! close "$OBJ" "$want" 1e-6; then
                    fail "Netlib $name: $peer ${OBJ:-(no optimum)} vs published $want"
                    ok=0
                fi
            done
        done
        NETLIB_OK=$((NETLIB_OK + ok))
        line="| $name |"
        for s in ours "${PEERS[@]}"; do
            m=$(eval "median \"\${$s[@]}\"")
            NT[$s]=$(awk -v a="${NT[$s]}" -v b="$m" 'BEGIN { printf "%.3f", a + b }')
            line+=" $(fmt "$m" 3) |"
        done
        echo "$line $([ $ok = 1 ] && echo yes || echo NO) |" >>"$WORK_DIR/netlib.md"
    done
fi

# --- report --------------------------------------------------------------------------------

mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
echo
runs_text="median of $RUNS runs"
[ "$RUNS_LARGE" != "$RUNS" ] && runs_text+=", of $RUNS_LARGE from N = $LARGE_N"
echo "CPU seconds (user + sys, whole process, $runs_text),"
echo "peak resident MiB; seed $SEED; $(nproc) cores, shared with other work."
echo
echo "| N x N | ours s | glpsol s | clp s | lp_solve s | ours/glpsol | ours/clp | ours/lp_solve | ours MiB | clp MiB | passes | same optimum |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|"
for n in $SIZES; do
    echo "| $n | $(fmt "${T_OURS[$n]}" 3) | $(fmt "${T_PEER[$n,glpsol]}" 3) | $(fmt "${T_PEER[$n,clp]}" 3)" \
         "| $(fmt "${T_PEER[$n,lp_solve]}" 3) | $(ratio "${T_OURS[$n]}" "${T_PEER[$n,glpsol]}")" \
         "| $(ratio "${T_OURS[$n]}" "${T_PEER[$n,clp]}") | $(ratio "${T_OURS[$n]}" "${T_PEER[$n,lp_solve]}")" \
         "| $(mib "${MEM_OURS[$n]}") | $(mib "${MEM_CLP[$n]}") | ${PASS[$n]} | ${AGREE[$n]} |"
done
if [ "$NETLIB" != 0 ]; then
    echo
    echo "Netlib, $NETLIB_COUNT problems (sum of per-problem medians of $NETLIB_RUNS runs):" \
         "ours ${NT[ours]} s, glpsol ${NT[glpsol]} s, clp ${NT[clp]} s, lp_solve ${NT[lp_solve]} s;" \
         "ours / (2 x glpsol) = $(ratio "${NT[ours]}" "$(awk -v g="${NT[glpsol]}" 'BEGIN { print 2 * g }')");" \
         "$NETLIB_OK of $NETLIB_COUNT reach the published optimum (1e-6) with every solver" \
         "(each problem: $WORK_DIR/netlib.md)."
fi

# target LABEL MET(1|0) DETAIL
target() {
    if [ "$2" = 1 ]; then echo "- $1: met ($3)"; else echo "- $1: MISSED ($3)"; fi
}
le() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }
echo
echo "Targets:"
for n in 500 1000 2000; do
    label="ours <= 0.5 x glpsol at $n"
    if [ -z "${T_OURS[$n]:-}" ]; then echo "- $label: not run"; continue; fi
    half=$(awk -v g="${T_PEER[$n,glpsol]}" 'BEGIN { print 0.5 * g }')
    le "${T_OURS[$n]}" "$half" && m=1 || m=0
    target "$label" $m "$(fmt "${T_OURS[$n]}" 3) s vs $(fmt "$half" 3) s, ours/glpsol $(ratio "${T_OURS[$n]}" "${T_PEER[$n,glpsol]}")"
done
if [ -n "${T_OURS[2000]:-}" ]; then
    le "${T_OURS[2000]}" "${T_PEER[2000,clp]}" && m=1 || m=0
    target "ours <= clp at 2000" $m "$(fmt "${T_OURS[2000]}" 3) s vs $(fmt "${T_PEER[2000,clp]}" 3) s"
    le "${MEM_OURS[2000]}" "${MEM_CLP[2000]}" && m=1 || m=0
    target "our peak memory <= clp's at 2000" $m "$(mib "${MEM_OURS[2000]}") MiB vs $(mib "${MEM_CLP[2000]}") MiB"
else
    echo "- ours <= clp at 2000: not run"
    echo "- our peak memory <= clp's at 2000: not run"
fi
if [ "$NETLIB" != 0 ]; then
    two=$(awk -v g="${NT[glpsol]}" 'BEGIN { print 2 * g }')
    awk -v a="${NT[ours]}" -v b="$two" 'BEGIN { exit !(a < b) }' && m=1 || m=0
    target "Netlib total < 2 x glpsol's" $m "${NT[ours]} s vs $(fmt "$two" 3) s"
else
    echo "- Netlib total < 2 x glpsol's: not run"
fi
if [ "$FAILED" != 0 ]; then
    echo
    echo "Some solver missed an optimum: see the FAIL lines above."
fi
exit "$FAILED"
