#!/usr/bin/env bash
# Renews the manual's screenshots in docs/images from the end-to-end window
# test, which saves the window at the steps the manual shows.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target test_ui help_docs
QT_QPA_PLATFORM=offscreen QUANDREL_SCREENSHOT_DIR="$PWD/docs/images" \
    build/tests/test_ui --gtest_filter='EndToEndTest.*'
cmake --build build -j2 --target help_docs
