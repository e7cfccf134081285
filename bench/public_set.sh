#!/usr/bin/env bash
# The sparse engine, glpsol and clp on public LP test problems, each with a time limit: how many each
# answers (an optimum, no feasible solution or an unbounded objective), refuses (a reading
# error, a failure) or does not finish in the limit, and the geometric mean of the CPU ratio
# ours/glpsol (and ours/clp) over the problems both answer. Prints Markdown tables. clp is left
# out when it is not installed (apt-get install coinor-clp).
#
#   bench/public_set.sh DIR...
#
# DIR holds MPS files (*.mps, *.mps.gz, or *.gz). The problems are public and are not kept in the
# repository; they come from the COIN-OR data repositories on GitHub:
#   https://github.com/coin-or-tools/Data-Netlib      Netlib's LP problems (90 files)
#   https://github.com/coin-or-tools/Data-Kennington  Kennington's problems
#   https://github.com/coin-or-tools/Data-miplib3     MIPLIB 3 (files NAME.gz: gzip'd MPS; solved
#                                                     as LP relaxations by both: the MARKER
#                                                     lines left out, UI/LI/BV bounds made
#                                                     UP/LO/UP 1)
# e.g. git clone --depth 1 https://github.com/coin-or-tools/Data-Netlib /tmp/netlib
#
# Environment: BUILD_DIR (a Release build with kvado-cli, default build/release), WORK_DIR
# (default build/public-set), LIMIT=60 (seconds each solver may take on each problem), ONLY (a
# pattern of the problem names to run, default all). kvado-cli runs with one thread and its
# default engine for MPS files (the sparse one); glpsol with its defaults.
set -euo pipefail
export LC_ALL=C
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build/release}
WORK_DIR=${WORK_DIR:-$ROOT/build/public-set}
LIMIT=${LIMIT:-60}
ONLY=${ONLY:-.}
KVADO=$BUILD_DIR/src/kvado-cli
command -v glpsol >/dev/null || { echo "glpsol is missing (apt-get install glpk-utils)" >&2; exit 1; }
[ -x "$KVADO" ] || { echo "no $KVADO: build it in Release first" >&2; exit 1; }
[ $# -gt 0 ] || { sed -n '2,20p' "$0" >&2; exit 1; }
mkdir -p "$WORK_DIR"

# run PREFIX CMD...: CPU seconds of CMD (user + sys of the children) and its exit code.
run() {
    local p=$1
    shift
    (
        set +e
        timeout "$LIMIT" "$@" >"$p.out" 2>"$p.err"
        echo $? >"$p.rc"
        times >"$p.times"
    )
    CPU=$(awk 'function sec(t, a) { sub(/s$/, "", t); split(t, a, "m"); return a[1] * 60 + a[2] }
               NR == 2 { printf "%.3f", sec($1) + sec($2) }' "$p.times")
    RC=$(cat "$p.rc")
}
ours_status() { grep -o '^{"status": "[a-z_]*"' "$1" | sed 's/.*: "//; s/"//'; }
ours_objective() { grep -o '"model": {"sense": "[a-z]*", "objective": [^,]*' "$1" | awk '{ print $NF }'; }
glpsol_status() {
    if grep -q 'OPTIMAL LP SOLUTION FOUND' "$1"; then echo optimal
    elif grep -qi 'PROBLEM HAS NO PRIMAL FEASIBLE SOLUTION\|LP HAS NO PRIMAL FEASIBLE' "$1"; then echo infeasible
    elif grep -qi 'PROBLEM HAS UNBOUNDED SOLUTION\|NO DUAL FEASIBLE' "$1"; then echo unbounded
    fi
}
glpsol_objective() { awk '$1 == "s" && $5 == "f" && $6 == "f" { print $NF }' "$1"; }
clp_status() {
    if grep -q '^Optimal objective' "$1"; then echo optimal
    elif grep -q '^PrimalInfeasible' "$1"; then echo infeasible
    elif grep -q '^DualInfeasible' "$1"; then echo unbounded
    fi
}
CLP=$(command -v clp || true)

echo "| problem | rows | ours | ours s | glpsol | glpsol s | clp | clp s | ours/glpsol | ours/clp | same objective |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
n=0 oa=0 orf=0 oto=0 ga=0 grf=0 gto=0 both=0 logsum=0 same=0 ca=0 cto=0 bothc=0 logsumc=0
for dir in "$@"; do
    for f in "$dir"/*.mps "$dir"/*.gz; do
        [ -e "$f" ] || continue
        name=$(basename "$f" .gz)
        name=${name%.mps}
        echo "$name" | grep -q -- "$ONLY" || continue
        w=$WORK_DIR/$name
        mkdir -p "$w"
        mps=$w/$name.mps
        # A MIP is solved as its LP relaxation by both: the integer markers are left out, and
        # the integer bounds become plain ones (UI as UP, LI as LO, BV as UP 1).
        case "$f" in *.gz) gzip -dc "$f" ;; *) cat "$f" ;; esac | grep -v "'MARKER'" |
            awk '$1 == "UI" || $1 == "LI" || $1 == "BV" {
                     t = $1 == "LI" ? "LO" : "UP"; v = $1 == "BV" ? 1 : $NF
                     printf " %s %s %s %s\n", t, $2, $3, v; next } { print }' >"$mps"
        rows=$(awk '/^ROWS/ { r = 1; next } /^COLUMNS/ { exit } r && $1 != "N" { k++ } END { print k + 0 }' "$mps")
        n=$((n + 1))
        run "$w/ours" "$KVADO" solve "$mps" --json --log-dir "$w" --threads 1
        co=$CPU
        case $RC in
            0 | 2 | 3) os=$(ours_status "$w/ours.out"); oa=$((oa + 1)) ;;
            124) os="over ${LIMIT} s"; oto=$((oto + 1)) ;;
            *) os="refused ($(head -c 60 "$w/ours.err" | tr '\n|' '  '))"; orf=$((orf + 1)) ;;
        esac
        rm -f "$w/glpsol.sol"
        run "$w/glpsol" glpsol --mps "$mps" -w "$w/glpsol.sol"
        if [ "$RC" != 0 ] && [ "$RC" != 124 ] && ! grep -q 'SOLUTION FOUND\|HAS NO\|UNBOUNDED' "$w/glpsol.out"; then
            rm -f "$w/glpsol.sol" # not fixed MPS after all: the free form
            run "$w/glpsol" glpsol --freemps "$mps" -w "$w/glpsol.sol"
        fi
        cg=$CPU
        gs=$(glpsol_status "$w/glpsol.out")
        if [ "$RC" = 124 ]; then gs="over ${LIMIT} s"; gto=$((gto + 1))
        elif [ -n "$gs" ]; then ga=$((ga + 1))
        else gs="refused"; grf=$((grf + 1)); fi
        ratio=-
        if [[ "$os" =~ ^(optimal|infeasible|unbounded)$ && "$gs" =~ ^(optimal|infeasible|unbounded)$ ]]; then
            both=$((both + 1))
            # 1 ms is the clock's resolution: a smaller time counts as 1 ms.
            ratio=$(awk -v a="$co" -v b="$cg" 'BEGIN { if (a < 0.001) a = 0.001; if (b < 0.001) b = 0.001; printf "%.2f", a / b }')
            logsum=$(awk -v s="$logsum" -v r="$ratio" 'BEGIN { printf "%.6f", s + log(r) }')
        fi
        cs=- cc=- ratioc=-
        if [ -n "$CLP" ]; then
            run "$w/clp" "$CLP" "$mps" -solve
            cc=$CPU
            cs=$(clp_status "$w/clp.out")
            if [ "$RC" = 124 ]; then cs="over ${LIMIT} s"; cto=$((cto + 1))
            elif [ -n "$cs" ]; then ca=$((ca + 1))
            else cs=refused; fi
            if [[ "$os" =~ ^(optimal|infeasible|unbounded)$ && "$cs" =~ ^(optimal|infeasible|unbounded)$ ]]; then
                bothc=$((bothc + 1))
                ratioc=$(awk -v a="$co" -v b="$cc" 'BEGIN { if (a < 0.001) a = 0.001; if (b < 0.001) b = 0.001; printf "%.2f", a / b }')
                logsumc=$(awk -v s="$logsumc" -v r="$ratioc" 'BEGIN { printf "%.6f", s + log(r) }')
            fi
        fi
        agree=-
        if [ "$os" = optimal ] && [ "$gs" = optimal ]; then
            zo=$(ours_objective "$w/ours.out") zg=$(glpsol_objective "$w/glpsol.sol")
            # The objective row's RHS is the constant's negative for us and the constant for
            # GLPK (README «Problems as users state them»): either sign of it agrees.
            c=$(awk '/^RHS/ { r = 1; next } /^(BOUNDS|RANGES|ENDATA)/ { r = 0 } r { for (k = 2; k < NF; k += 2) if ($k == obj) print $(k + 1) }
                     /^ROWS/ { s = 1; next } s && $1 == "N" && obj == "" { obj = $2 } /^COLUMNS/ { s = 0 }' "$mps" | head -1)
            agree=$(awk -v a="$zo" -v b="$zg" -v c="${c:-0}" 'BEGIN { m = b < 0 ? -b : b; if (m < 1) m = 1
                       d1 = a - b; d2 = a - b + 2 * c; d3 = a - b - 2 * c
                       if (d1 < 0) d1 = -d1; if (d2 < 0) d2 = -d2; if (d3 < 0) d3 = -d3
                       print (d1 <= 1e-6 * m || d2 <= 1e-6 * m || d3 <= 1e-6 * m) ? "yes" : "NO " a " vs " b }')
            [ "$agree" = yes ] && same=$((same + 1))
        fi
        echo "| $name | $rows | $os | $co | $gs | $cg | $cs | $cc | $ratio | $ratioc | $agree |"
    done
done
echo
echo "$n problems, ${LIMIT} s each: ours answered $oa, refused $orf, over ${LIMIT} s $oto;" \
     "glpsol answered $ga, refused $grf, over ${LIMIT} s $gto; both answered $both," \
     "same optimum $same; CPU geometric mean ours/glpsol" \
     "$(awk -v s="$logsum" -v k="$both" 'BEGIN { if (k > 0) printf "%.2f", exp(s / k); else print "-" }');" \
     "clp answered $ca, over ${LIMIT} s $cto; CPU geometric mean ours/clp over $bothc" \
     "$(awk -v s="$logsumc" -v k="$bothc" 'BEGIN { if (k > 0) printf "%.2f", exp(s / k); else print "-" }')."
