#!/usr/bin/env bash
# The text import against numpy's loadtxt on the benchmark's file of 1,000,000 lines (a measurement
# for the record, not a test: numpy is Debian's python3-numpy and is not a dependency). The two take
# turns, ROUNDS times (5 unless given), so that both see the same load of a shared machine; each
# round reports the best of 3 of each and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
file=$(mktemp --suffix=.txt)
trap 'rm -f "$file"' EXIT
ours() {
    QUANDREL_BENCH_IMPORT_FILE=$file build/bench/bench_import --benchmark_filter=TwoColumns \
        --benchmark_repetitions=3 --benchmark_format=csv 2>/dev/null |
        awk -F, '$1 == "\"BM_ImportTwoColumns/1000000\"" { if (best == "" || $3 < best) best = $3 } END { print best }'
}
numpy_ms() {
    /usr/bin/python3 - "$file" <<'PY'
import sys, time
import numpy
best = None
for _ in range(3):
    start = time.perf_counter()
    data = numpy.loadtxt(sys.argv[1], delimiter="\t")
    elapsed = time.perf_counter() - start
    best = elapsed if best is None else min(best, elapsed)
assert data.shape[0] == 1000000
print(f"{best * 1000:.1f}")
PY
}
ours >/dev/null # writes the file
echo "numpy $(/usr/bin/python3 -c 'import numpy; print(numpy.__version__)') loadtxt against the import (ms, best of 3 each)"
for ((i = 1; i <= rounds; ++i)); do
    a=$(ours)
    b=$(numpy_ms)
    awk -v a="$a" -v b="$b" -v i="$i" 'BEGIN { printf "round %d: import %.1f  numpy %.1f  ratio %.2f\n", i, a, b, b / a }'
done
