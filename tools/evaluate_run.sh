#!/bin/sh
# Evaluates an observing run of a single-lined binary with quandrel-cli, the way the
# window does it step by step: wavelength calibration from a lamp, line velocities of
# every spectrum, correction for the observer's motion, period search and orbit.
#
# usage: tools/evaluate_run.sh RUN_FOLDER [OUTPUT_FOLDER]
#
# RUN_FOLDER holds
#   fits/*.fits         the star's spectra, with time, object and site in their headers
#   lamp_pixels.txt     the lamp exposure, one intensity per pixel
#   lamp_lines.txt      the wavelengths (angstrom) of the lamp lines, in the order they
#                       appear along the detector
#   star_00_pixels.txt  (optional) a star exposure in pixels, calibrated from the lamp
# Copy the script and change the settings below for your own site, star and lines.
set -eu

CLI=${QUANDREL_CLI:-quandrel-cli}
# The laboratory lines: next to the script when installed, in data/ of the source tree.
HERE=$(dirname "$0")
if [ -f "$HERE/LinesX.txt" ]; then LAB_DEFAULT=$HERE/LinesX.txt; else LAB_DEFAULT=$HERE/../data/LinesX.txt; fi
LAB=${QUANDREL_LINES:-$LAB_DEFAULT}
# Line search: width slider index (windows of 2 I + 4 samples), the depth a line needs in noise
# sigmas, and how far (km/s) a line may lie from the laboratory line it is identified with.
WIDTH=10; WINDOW=$((2 * WIDTH + 4)); MIN_SIGMA=3; IDENTIFY=80
# Orbit search ranges: period, eccentricity (the rest is found from the data).
P_RANGE="10 15"; E_RANGE="0 0.8"

RUN=${1:?usage: evaluate_run.sh RUN_FOLDER [OUTPUT_FOLDER]}
OUT=${2:-.}
mkdir -p "$OUT"

# 1. Calibration: the lamp lines in pixels, paired with their wavelengths.
"$CLI" lines "$RUN/lamp_pixels.txt" --single-column --emission \
    | awk -F'\t' '!/^#/ { print $1 }' > "$OUT/lamp_centers.txt"
if [ "$(wc -l < "$OUT/lamp_centers.txt")" -ne "$(wc -l < "$RUN/lamp_lines.txt")" ]; then
    echo "evaluate_run.sh: found $(wc -l < "$OUT/lamp_centers.txt") lamp lines," \
         "lamp_lines.txt lists $(wc -l < "$RUN/lamp_lines.txt")" >&2
    exit 1
fi
paste -d';' "$OUT/lamp_centers.txt" "$RUN/lamp_lines.txt" > "$OUT/calibration_points.txt"
if [ -f "$RUN/star_00_pixels.txt" ]; then
    "$CLI" calibrate "$RUN/star_00_pixels.txt" --single-column --polynomial 3 \
        --points "$OUT/calibration_points.txt" > "$OUT/star_00_calibrated.txt"
    grep '^#' "$OUT/star_00_calibrated.txt" >&2
    # The calibrated exposure measured like the others (uncorrected Doppler velocity of its deepest line).
    "$CLI" lines "$OUT/star_00_calibrated.txt" --lab "$LAB" --width-index "$WIDTH" \
        | awk -F'\t' '!/^#/ && $3 < a { a = $3; l = $5 " " $7 } END { if (l != "") print "# star_00_pixels.txt: " l " km/s" }' >&2
fi

# 2. Velocities: every FITS spectrum of the run measured at once on all cores, its lines found and
#    identified as "Identify all" does and corrected for the observer's motion with the time, object and
#    site of its header; the project the window opens, and its velocity curve.
"$CLI" measure "$RUN"/fits/*.fits --lab "$LAB" --window "$WINDOW" --min-sigma "$MIN_SIGMA" \
    --identify "$IDENTIFY" --out "$OUT/measurements.txt" --project "$OUT/season.mtx"
if grep -q 'error: ' "$OUT/measurements.txt"; then
    grep 'error: ' "$OUT/measurements.txt" >&2
    exit 1
fi
"$CLI" project curve "$OUT/season.mtx" | grep -v '^#' | tr '\t' ';' > "$OUT/velocities.txt"

# 3. Period and orbit.
"$CLI" pdm "$OUT/velocities.txt" --from 2 --to 30 | tee "$OUT/period.txt"
"$CLI" orbit "$OUT/velocities.txt" --p $P_RANGE --e $E_RANGE --residuals > "$OUT/orbit.txt"
grep '=' "$OUT/orbit.txt"
