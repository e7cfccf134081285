#!/usr/bin/env bash
# The integer search against glpsol, side by side in one run, on the small MIPLIB 3 instances:
# CPU of the whole process (reading and writing included), each with a time limit, the
# published optima checked to 1e-6. Prints a Markdown table and the geometric mean of the CPU
# ratio over the instances both finish.
#
#   bench/mip_compare.sh [NAME...]
#
# Environment: BUILD_DIR (a Release build with kvado-cli, default build/release), MIPLIB_DIR
# (the instances as NAME.mps, default build/miplib), WORK_DIR (default build/mip-compare),
# LIMIT=120 (seconds each), KVADO_ARGS (more options for kvado-cli, e.g. --mip-engine glpk).
# glpsol runs with its defaults and --tmlim.
set -euo pipefail
export LC_ALL=C
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build/release}
MIPLIB_DIR=${MIPLIB_DIR:-$ROOT/build/miplib}
WORK_DIR=${WORK_DIR:-$ROOT/build/mip-compare}
LIMIT=${LIMIT:-120}
KVADO=$BUILD_DIR/src/kvado-cli
command -v glpsol >/dev/null || { echo "glpsol is missing (apt-get install glpk-utils)" >&2; exit 1; }
[ -x "$KVADO" ] || { echo "no $KVADO: build it in Release first" >&2; exit 1; }
mkdir -p "$WORK_DIR"

# The published optima (MIPLIB 3's catalogue, "INT SOLN"; rgn's 82.1999 there is rounded: its
# optimum is 82.19999924).
declare -A OPT=(
    [p0033]=3089 [p0201]=7615 [p0282]=258411 [p0548]=8691 [lseu]=1120 [mod008]=307
    [misc03]=3360 [stein27]=18 [enigma]=0 [flugpl]=1201500 [egout]=568.101 [dcmulti]=188182
    [fixnet6]=3983 [khb05250]=106940226 [bell5]=8966406.49 [rgn]=82.19999924 [bell3a]=878430.32
    [misc07]=2810 [stein45]=30 [vpm1]=20 [vpm2]=13.75 [mod010]=6548 [blend2]=7.598985
    [10teams]=924 [gt2]=21166 [pk1]=11 [pp08a]=7350 [gesa2]=25779856.372
)
NAMES=("$@")
[ ${#NAMES[@]} -gt 0 ] || NAMES=(p0033 p0201 p0282 p0548 lseu mod008 misc03 stein27 enigma
    flugpl egout dcmulti fixnet6 khb05250 bell5 rgn bell3a vpm1 vpm2 blend2 10teams gt2 pk1
    pp08a gesa2)

# measure PREFIX CMD...: CPU (user + sys seconds of CMD, from the subshell's children times)
measure() {
    local p=$1
    shift
    (
        "$@" >"$p.out" 2>"$p.err" || true
        times >"$p.times"
    )
    CPU=$(awk 'function sec(t, a) { sub(/s$/, "", t); split(t, a, "m"); return a[1] * 60 + a[2] }
               NR == 2 { printf "%.2f", sec($1) + sec($2) }' "$p.times")
}
close() {
    awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; m = b < 0 ? -b : b
                                   if (m < 1) m = 1; exit !(a != "" && d <= 1e-6 * m) }'
}

echo "| problem | ours s | ours | glpsol s | glpsol | ours/glpsol | published optimum reached (ours, glpsol) |"
echo "|---|---|---|---|---|---|---|"
logsum=0 both=0
for name in "${NAMES[@]}"; do
    mps=$MIPLIB_DIR/$name.mps
    [ -f "$mps" ] || { echo "| $name | missing | | | | | |"; continue; }
    dir=$WORK_DIR/$name
    mkdir -p "$dir"
    # shellcheck disable=SC2086
    measure "$dir/ours" "$KVADO" solve "$mps" --json --log-dir "$dir" --threads 1 \
        --time-limit "$LIMIT" ${KVADO_ARGS:-}
    t_ours=$CPU
    mip=$(grep -o '"mip": {[^}]*}' "$dir/ours.out" || true)
    s_ours=$(sed 's/.*"status": "\([a-z]*\)".*/\1/' <<<"$mip")
    z_ours=$(sed 's/.*"objective": \([^,]*\),.*/\1/' <<<"$mip")
    g_ours=$(sed 's/.*"gap": \([^,]*\),.*/\1/' <<<"$mip")
    e_ours=$(sed 's/.*"engine": "\([a-z]*\)".*/\1/' <<<"$mip")
    rm -f "$dir/glpsol.sol"
    measure "$dir/glpsol" glpsol --mps "$mps" --tmlim "$LIMIT" -w "$dir/glpsol.sol"
    # A file with tabs is no fixed MPS for glpsol: read as free MPS then.
    if grep -q 'MPS file processing error' "$dir/glpsol.out"; then
        measure "$dir/glpsol" glpsol --freemps "$mps" --tmlim "$LIMIT" -w "$dir/glpsol.sol"
    fi
    t_glp=$CPU
    read -r s_glp z_glp < <(awk '$1 == "s" && $2 == "mip" { print $5, $6 }' "$dir/glpsol.sol" 2>/dev/null || echo "? ?")
    ok_ours=no ok_glp=no
    close "$z_ours" "${OPT[$name]:-x}" && ok_ours=yes
    [ "$s_glp" = o ] || [ "$s_glp" = f ] && close "$z_glp" "${OPT[$name]:-x}" && ok_glp=yes
    ours="$s_ours ($e_ours) $z_ours"
    [ "$s_ours" = feasible ] && ours="$ours, gap $g_ours"
    glp="$([ "$s_glp" = o ] && echo optimal || { [ "$s_glp" = f ] && echo feasible || echo "none"; }) $z_glp"
    ratio=—
    if [ "$s_ours" = optimal ] && [ "$s_glp" = o ]; then
        ratio=$(awk -v a="$t_ours" -v b="$t_glp" 'BEGIN { if (a < 0.01) a = 0.01; if (b < 0.01) b = 0.01; printf "%.2f", a / b }')
        logsum=$(awk -v s="$logsum" -v r="$ratio" 'BEGIN { printf "%.6f", s + log(r) }')
        both=$((both + 1))
    fi
    echo "| $name | $t_ours | $ours | $t_glp | $glp | $ratio | $ok_ours, $ok_glp |"
done
if [ "$both" -gt 0 ]; then
    awk -v s="$logsum" -v n="$both" 'BEGIN { printf "\nCPU ratio ours/glpsol, geometric mean over the %d instances both solve: %.2f\n", n, exp(s / n) }'
fi
