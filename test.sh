#!/usr/bin/env bash
# Sets everything up, builds Quandrel and runs its tests: once as built for
# use (the window tests run without a display), once more with AddressSanitizer
# and UndefinedBehaviorSanitizer for the computational library and the command line, and
# last the fuzz targets on their seeds and for a few seconds each (tools/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup-deps.sh
quandrel_setup_deps

cmake -S . -B build -G Ninja -DQUANDREL_BUILD_TESTS=ON -DQUANDREL_BUILD_BENCH=ON -DQUANDREL_BUILD_UI=ON -DQUANDREL_SANITIZE=OFF
cmake --build build -j2
(cd build && ctest --output-on-failure -j2)

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUANDREL_SANITIZE=ON -DQUANDREL_BUILD_BENCH=OFF -DQUANDREL_BUILD_UI=OFF
cmake --build build-asan -j2
(cd build-asan && ctest --output-on-failure -j2)

tools/fuzz.sh --smoke
