#!/usr/bin/env bash
# Installs what is missing, cross-builds the Windows programs and packs them:
# build/windows/freqcode-VERSION-win64.zip and
# build/windows/freqcode-VERSION-win64-setup.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/windows --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build/windows -j"$(nproc)" --target windows-packages
ls -l build/windows/freqcode-*-win64*
