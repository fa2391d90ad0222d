#!/bin/sh
# Runs tools/evaluate_run.sh on the generated sample run and compares the
# orbit it finds with the one the run was made with.
#   evaluate_run_test.sh SCRIPT CLI RUN_FOLDER OUTPUT_FOLDER
set -eu
SCRIPT=$1; CLI=$2; RUN=$3; OUT=$4
rm -rf "$OUT"
QUANDREL_CLI=$CLI "$SCRIPT" "$RUN" "$OUT" > "$OUT.log" 2>&1 || { cat "$OUT.log"; exit 1; }
[ "$(wc -l < "$OUT/velocities.txt")" -eq 20 ] || { echo "expected 20 velocities"; exit 1; }
# name tolerance: the found value against truth.txt
check() {
    FOUND=$(sed -n "s/^$1=//p" "$OUT/orbit.txt")
    TRUE=$(sed -n "s/^$1=//p" "$RUN/truth.txt")
    awk -v f="$FOUND" -v t="$TRUE" -v d="$2" -v n="$1" 'BEGIN {
        if (f == "" || (f - t) ^ 2 > d ^ 2) { printf "%s = %s, expected %s within %s\n", n, f, t, d; exit 1 } }'
}
check P 0.05
check e 0.02
check omega 3
check K1 1
check gamma 1
grep -q '^T = ' "$OUT/period.txt"
awk '/^T = / { if (($3 - 12.5) ^ 2 > 0.04) { print "period " $3; exit 1 } }' "$OUT/period.txt"
