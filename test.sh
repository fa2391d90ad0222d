#!/usr/bin/env bash
# Sets everything up, builds Quandrel and runs its tests: once as built for
# use, once more with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup-deps.sh
quandrel_setup_deps

cmake -S . -B build -G Ninja
cmake --build build -j2
(cd build && ctest --output-on-failure -j2)

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUANDREL_SANITIZE=ON -DQUANDREL_BUILD_BENCH=OFF
cmake --build build-asan -j2
(cd build-asan && ctest --output-on-failure -j2)
