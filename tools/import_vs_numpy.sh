#!/usr/bin/env bash
# The text import against numpy's loadtxt on the benchmark's file of 1,000,000 lines (a measurement
# for the record, not a test: numpy comes from the python3 on the PATH and is not a dependency).
set -euo pipefail
cd "$(dirname "$0")/.."
file=$(mktemp --suffix=.txt)
trap 'rm -f "$file"' EXIT
QUANDREL_BENCH_IMPORT_FILE=$file build/bench/bench_import --benchmark_filter=TwoColumns --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true | grep -E "median|mean"
# Debian's python3-numpy (/usr/bin/python3), whatever python3 comes first on the PATH.
/usr/bin/python3 - "$file" <<'PY'
import sys, time
import numpy
best = None
for _ in range(5):
    start = time.perf_counter()
    data = numpy.loadtxt(sys.argv[1], delimiter="\t")
    elapsed = time.perf_counter() - start
    best = elapsed if best is None else min(best, elapsed)
print(f"numpy {numpy.__version__} loadtxt: {data.shape[0]} lines, best of 5: {best * 1000:.0f} ms")
PY
