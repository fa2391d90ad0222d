#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (ASan and UBSan) and runs them on their
# committed seed corpora.
#   tools/fuzz.sh --smoke   replays every seed, then fuzzes each target for 10 seconds (./test.sh)
#   tools/fuzz.sh MINUTES [TARGET ...]   a campaign: each target (all without a list) fuzzes for
#                           MINUTES minutes
# Two targets run at a time. Each input has a time limit (a hang is a finding) and a memory limit.
# Findings (crash-*, timeout-*, oom-*, leak-*) go to build-fuzz/findings/TARGET/; new inputs to
# build-fuzz/corpus/TARGET/, never into the committed corpus. Exit status 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup-deps.sh
quandrel_setup_deps clang libclang-rt-14-dev

if [ "${1:-}" = "--smoke" ]; then
    seconds=10
elif [[ "${1:-}" =~ ^[0-9]+$ ]] && [ "$1" -gt 0 ]; then
    seconds=$(($1 * 60))
else
    echo "usage: tools/fuzz.sh --smoke | MINUTES" >&2
    exit 2
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUANDREL_FUZZ=ON \
    -DQUANDREL_BUILD_TESTS=OFF -DQUANDREL_BUILD_BENCH=OFF -DQUANDREL_BUILD_UI=OFF >/dev/null
cmake --build build-fuzz -j2

# The targets write their inputs to files: a memory-backed folder keeps the disk out of the way.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
targets=(text_import project cc_parameters settings line_table measurements fits cli)
if [ "${1:-}" != "--smoke" ] && [ $# -gt 1 ]; then
    targets=("${@:2}")
fi
logs=build-fuzz/logs
mkdir -p "$logs"

run_target() {
    local target=$1
    local binary=build-fuzz/tests/fuzz/fuzz_$target
    local seeds=tests/fuzz/corpus/$target
    local found=build-fuzz/findings/$target
    local grown=build-fuzz/corpus/$target
    rm -rf "$found"
    mkdir -p "$found" "$grown"
    # A whole command (an orbit search on a mutated series) may take seconds under the sanitizers.
    local timeout=10
    [ "$target" = cli ] && timeout=30
    local options=(-timeout=$timeout -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$found/" -print_final_stats=1)
    # Every seed once, then the fuzzing; new inputs go to the first folder.
    if ! "$binary" "${options[@]}" -runs=0 "$seeds" >"$logs/$target.replay.log" 2>&1; then
        echo "$target: a seed failed (see $logs/$target.replay.log)"
        return 1
    fi
    if ! "$binary" "${options[@]}" -max_total_time="$seconds" "$grown" "$seeds" >"$logs/$target.log" 2>&1; then
        echo "$target: finding (see $logs/$target.log and $found)"
        return 1
    fi
}

status=0
pids=()
names=()
for target in "${targets[@]}"; do
    run_target "$target" &
    pids+=($!)
    names+=("$target")
    if [ ${#pids[@]} -eq 2 ]; then
        wait "${pids[0]}" || status=1
        pids=("${pids[1]}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done

printf '%-14s %12s %10s %9s\n' target runs exec/s findings
for target in "${targets[@]}"; do
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$logs/$target.log" 2>/dev/null | grep -o '[0-9]*$' || echo 0)
    speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$logs/$target.log" 2>/dev/null | grep -o '[0-9]*$' || echo 0)
    # Slow inputs (slow-unit-*) are noted by libFuzzer but are no failure: they stay under the limit.
    findings=$(find "build-fuzz/findings/$target" -type f \( -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' \
        -o -name 'leak-*' \) | wc -l)
    printf '%-14s %12s %10s %9s\n' "$target" "${runs:-0}" "${speed:-0}" "$findings"
done
exit $status
