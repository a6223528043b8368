#!/usr/bin/env bash
# Installs what the window needs and is missing, builds the window and
# opens it. The tests' toolchains are scripts/test.sh's.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh window

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DFREQCODE_TESTS=OFF -DFREQCODE_BENCH=OFF
cmake --build build/release -j"$(nproc)" --target freqcode
exec build/release/window/qt/freqcode
