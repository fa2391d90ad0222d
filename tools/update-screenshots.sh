#!/usr/bin/env bash
# Renews the manual's screenshots in docs/images. The window tests save a
# picture of the window, of every plot page and of every dialog under
# build/screenshots/ on each run; the manual shows four of them.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target test_ui help_docs
QT_QPA_PLATFORM=offscreen build/tests/test_ui --gtest_filter='EndToEndTest.*'
for sPicture in lamp lines table orbit; do
    cp "build/screenshots/$sPicture.png" docs/images/
done
cmake --build build -j2 --target help_docs
