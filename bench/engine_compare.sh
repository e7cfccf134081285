#!/usr/bin/env bash
# The sparse engine against glpsol and clp, side by side in one run: the 23 Netlib problems from their
# MPS files (CPU of the whole process, every published optimum checked to 1e-6) and a generated
# multi-period production and transport model (bench/production_mps.awk, or with
# GENERATOR=transport bench/transport_mps.awk: 100,000 rows, about 1,000,000 nonzeros), CPU and
# peak memory. Prints Markdown tables.
#
#   bench/engine_compare.sh
#
# Environment: BUILD_DIR (a Release build with kvado-cli, default build/release), NETLIB_DIR
# (default ../shared/netlib), WORK_DIR (default build/engine-compare), RUNS=3 (Netlib runs,
# medians), GENERATOR=production|transport, PERIODS=20 PLANTS=1000 CUSTOMERS=4000 (the generated
# model; 0 periods skips it),
# GLPSOL_LIMIT=3600 (seconds glpsol may take on it). glpsol and clp run with their defaults
# (clp: `-solve`); kvado-cli with `--engine sparse` (the default of an MPS file) and one thread.
# clp is left out when it is not installed (apt-get install coinor-clp).
set -euo pipefail
export LC_ALL=C
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build/release}
NETLIB_DIR=${NETLIB_DIR:-$ROOT/../shared/netlib}
WORK_DIR=${WORK_DIR:-$ROOT/build/engine-compare}
RUNS=${RUNS:-3}
PERIODS=${PERIODS:-20} PLANTS=${PLANTS:-1000} CUSTOMERS=${CUSTOMERS:-4000}
GLPSOL_LIMIT=${GLPSOL_LIMIT:-3600}
GENERATOR=${GENERATOR:-production}
KVADO=$BUILD_DIR/src/kvado-cli
command -v glpsol >/dev/null || { echo "glpsol is missing (apt-get install glpk-utils)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (apt-get install time)" >&2; exit 1; }
[ -x "$KVADO" ] || { echo "no $KVADO: build it in Release first" >&2; exit 1; }
mkdir -p "$WORK_DIR"

# measure PREFIX CMD...: CPU (user + sys seconds of CMD, from the subshell's children times,
# 1 ms resolution) and RSS (peak KiB, GNU time's %M)
measure() {
    local p=$1
    shift
    (
        /usr/bin/time -f %M -o "$p.rss" "$@" >"$p.out" 2>"$p.err" || true
        times >"$p.times"
    )
    CPU=$(awk 'function sec(t, a) { sub(/s$/, "", t); split(t, a, "m"); return a[1] * 60 + a[2] }
               NR == 2 { printf "%.3f", sec($1) + sec($2) }' "$p.times")
    RSS=$(tail -n 1 "$p.rss")
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
close() {
    awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; m = b < 0 ? -b : b
                                             if (m < 1) m = 1; exit !(a != "" && d <= t * m) }'
}
jget() { grep -m1 "^ \"$2\":" "$1" | sed 's/^[^:]*: *//; s/,$//; s/"//g'; }
ours_objective() { grep -o '"model": {"sense": "[a-z]*", "objective": [^,]*' "$1" | awk '{ print $NF }'; }
glpsol_objective() { awk '$1 == "s" && $5 == "f" && $6 == "f" { print $NF }' "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
# clp reads free MPS only when its NAME line says FREE: a copy that does.
clp_free_copy() { sed '1,/^NAME/s/^NAME.*/& FREE/' "$1" >"$2"; }
clp_objective() { awk '/^Optimal objective/ { print $3 }' "$1"; }
CLP=$(command -v clp || true)

FAILED=0
echo "| problem | ours s | glpsol s | clp s | ours/glpsol | ours/clp | published optimum reached (ours, glpsol, clp) |"
echo "|---|---|---|---|---|---|---|"
tot_ours=0 tot_glp=0 tot_clp=0 reached=0 count=0
for mps in "$NETLIB_DIR"/mps/*.mps; do
    name=$(basename "$mps" .mps)
    json=$NETLIB_DIR/$name.json
    pub=$(jget "$json" expected_objective)
    form=$(jget "$json" mps_format)
    rhsc=$(jget "$json" objective_rhs_constant)
    rhsmode=$(jget "$json" objective_rhs_mode)
    opt=--freemps
    [ "$form" = fixed ] && opt=--mps
    dir=$WORK_DIR/netlib/$name
    mkdir -p "$dir"
    o=() g=() c=()
    ok_ours=no ok_glp=no ok_clp=-
    for ((r = 1; r <= RUNS; r++)); do
        measure "$dir/ours" "$KVADO" solve "$mps" --json --log-dir "$dir" --threads 1
        o+=("$CPU")
        # The model's objective carries the objective row's constant; the published one not.
        z=$(ours_objective "$dir/ours.out")
        want=$(awk -v p="$pub" -v c="${rhsc:-0}" -v m="$rhsmode" \
               'BEGIN { printf "%.17g", p + (m == "ignore" ? c : 0) }')
        close "$z" "$want" 1e-6 && ok_ours=yes
        rm -f "$dir/glpsol.sol"
        measure "$dir/glpsol" glpsol "$opt" "$mps" -w "$dir/glpsol.sol"
        g+=("$CPU")
        want=$(awk -v p="$pub" -v c="${rhsc:-0}" -v m="$rhsmode" \
               'BEGIN { printf "%.17g", p + (m == "ignore" ? 0 : c) - c }')
        close "$(glpsol_objective "$dir/glpsol.sol")" "$want" 1e-6 && ok_glp=yes
        if [ -n "$CLP" ]; then
            cmps=$mps
            [ "$form" = fixed ] || { cmps=$dir/clp-free.mps; [ -f "$cmps" ] || clp_free_copy "$mps" "$cmps"; }
            measure "$dir/clp" "$CLP" "$cmps" -solve
            c+=("$CPU")
            # clp's objective carries the constant with either convention of the readers.
            zc=$(clp_objective "$dir/clp.out")
            [ "$ok_clp" = yes ] || ok_clp=no
            { close "$zc" "$want" 1e-6 || close "$zc" "$(awk -v p="$pub" 'BEGIN { printf "%.17g", p }')" 1e-6; } && ok_clp=yes
        fi
    done
    mo=$(median "${o[@]}") mg=$(median "${g[@]}") mc=-
    [ -n "$CLP" ] && mc=$(median "${c[@]}") && tot_clp=$(awk -v a="$tot_clp" -v b="$mc" 'BEGIN { printf "%.3f", a + b }')
    tot_ours=$(awk -v a="$tot_ours" -v b="$mo" 'BEGIN { printf "%.3f", a + b }')
    tot_glp=$(awk -v a="$tot_glp" -v b="$mg" 'BEGIN { printf "%.3f", a + b }')
    count=$((count + 1))
    [ "$ok_ours" = yes ] && reached=$((reached + 1))
    [ "$ok_ours" = yes ] || { echo "FAIL: $name: ours $z vs published $pub" >&2; FAILED=1; }
    echo "| $name | $mo | $mg | $mc | $(ratio "$mo" "$mg") | $(ratio "$mo" "$mc") | $ok_ours, $ok_glp, $ok_clp |"
done
echo
echo "Netlib, $count problems, medians of $RUNS runs summed: ours $tot_ours s, glpsol $tot_glp s," \
     "clp $tot_clp s (ours/glpsol $(ratio "$tot_ours" "$tot_glp"), ours/clp $(ratio "$tot_ours" "$tot_clp"));" \
     "ours reach $reached of $count published optima."

if [ "$PERIODS" != 0 ]; then
    big=$WORK_DIR/$GENERATOR-$PERIODS-$PLANTS-$CUSTOMERS.mps
    [ -f "$big" ] || awk -v periods="$PERIODS" -v plants="$PLANTS" -v customers="$CUSTOMERS" \
                          -f "$ROOT/bench/${GENERATOR}_mps.awk" >"$big"
    rows=$(awk '/^ROWS/ { r = 1; next } /^COLUMNS/ { exit } r && $1 != "N" { n++ } END { print n }' "$big")
    nnz=$(awk '/^COLUMNS/ { c = 1; next } /^RHS/ { exit } c { n += (NF - 1) / 2 } END { print n - n % 1 }' "$big")
    measure "$WORK_DIR/big-ours" "$KVADO" solve "$big" --json --log-dir "$WORK_DIR" --threads 1
    zo=$(ours_objective "$WORK_DIR/big-ours.out")
    co=$CPU ro=$RSS
    rm -f "$WORK_DIR/big.sol"
    measure "$WORK_DIR/big-glpsol" glpsol --freemps "$big" --tmlim "$GLPSOL_LIMIT" -w "$WORK_DIR/big.sol"
    zg=$(glpsol_objective "$WORK_DIR/big.sol")
    cg=$CPU rg=$RSS
    cc=- rc=0 zc=
    if [ -n "$CLP" ]; then
        [ -f "$big.free" ] || clp_free_copy "$big" "$big.free"
        measure "$WORK_DIR/big-clp" "$CLP" "$big.free" -solve
        cc=$CPU rc=$RSS zc=$(clp_objective "$WORK_DIR/big-clp.out")
    fi
    CPU=$cg RSS=$rg
    echo
    echo "| model | rows | nonzeros (with the objective) | ours s | glpsol s | clp s | ours MiB | glpsol MiB | clp MiB | memory ours/glpsol | same optimum (glpsol, clp) |"
    echo "|---|---|---|---|---|---|---|---|---|---|---|"
    same=no
    [ -n "$zg" ] && close "$zo" "$zg" 1e-9 && same=yes
    [ -z "$zg" ] && same="glpsol: no optimum within ${GLPSOL_LIMIT} s"
    samec=-
    [ -n "$CLP" ] && { close "$zo" "$zc" 1e-9 && samec=yes || samec="no ($zc)"; }
    mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
    echo "| $GENERATOR $PERIODS x $PLANTS x $CUSTOMERS | $rows | $nnz | $co | $CPU | $cc | $(mib "$ro") | $(mib "$RSS") | $(mib "$rc") | $(awk -v a="$ro" -v b="$RSS" 'BEGIN { printf "%.2f", a / b }') | $same, $samec |"
fi
exit "$FAILED"
