#!/usr/bin/env bash
# Installs what is missing, builds the web edition's page (the packages
# carry it as the list page), cross-builds the Windows programs and packs
# them: build/windows/freqcode-VERSION-win64.zip,
# build/windows/freqcode-VERSION-win64-setup.exe and, beside them,
# build/windows/SHA256SUMS to publish with them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export NODE_PATH=/usr/share/nodejs  # emcc's optimizer finds acorn among Debian's node modules
emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release -DFREQCODE_TESTS=OFF -DFREQCODE_BENCH=OFF
cmake --build build/web -j"$(nproc)" --target freqcode_web
cmake -S . -B build/windows --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DFREQCODE_WEB_PAGE="$PWD/build/web/window/web/freqcode.html"
cmake --build build/windows -j"$(nproc)" --target windows-packages
ls -l build/windows/freqcode-*-win64* build/windows/SHA256SUMS
cat build/windows/SHA256SUMS
