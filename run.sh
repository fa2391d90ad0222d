#!/usr/bin/env bash
# Sets everything up, builds Quandrel and starts it in the folder of the
# shipped sample data. Without a display it runs on a virtual one (xvfb).
set -euo pipefail
cd "$(dirname "$0")"
top="$PWD"
source tools/setup-deps.sh
extra=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    extra=(xvfb xauth)
fi
quandrel_setup_deps "${extra[@]}"

cmake -S . -B build -G Ninja
cmake --build build -j2 --target quandrel quandrel-cli sample_run help_docs

# The help menu opens its documents in the working folder; the sample observing run goes next to the
# sample data, where the file dialogs start.
cp build/docs/Quandrel-*.pdf data/
rm -rf data/sample_run
cp -r build/sample_run data/sample_run

ini="build/quandrel.ini"
# The file dialogs start in the sample data, and the neon lines serve as calibration lines, until the
# user chooses otherwise.
for entry in "SpectraPath=$top/data" "CalibrationFilePath=$top/data/Neon.txt"; do
    if ! grep -qi "^${entry%%=*}=" "$ini" 2>/dev/null; then
        printf '\n[Paths]\n%s\n' "$entry" >> "$ini"
    fi
done

cd data
if [ ${#extra[@]} -gt 0 ]; then
    echo "No display found: Quandrel runs on a virtual display (xvfb-run)."
    exec xvfb-run -a "$top/build/quandrel"
fi
exec "$top/build/quandrel"
