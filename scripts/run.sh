#!/usr/bin/env bash
# Installs what is missing, builds the tool and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j"$(nproc)" --target freqcode
exec build/release/window/qt/freqcode
