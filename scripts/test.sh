#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the plain build
# (gcc), the whole suite again under AddressSanitizer and UBSan (clang)
# together with the seeded, bounded fuzz runs, the WebAssembly build
# (emscripten) under node, and the Windows build (mingw-w64) under Wine; and
# builds the Release configuration with g++ and clang++. Every warning is an
# error here.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Third-party libraries (fontconfig, Qt's plugin loader) keep caches for the
# life of the process; their leaks are not ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"

strict=-DFREQCODE_WERROR=ON

cmake -S . -B build/sanitize -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
      -DFREQCODE_SANITIZE=ON -DFREQCODE_FUZZ=ON -DFREQCODE_BENCH=OFF $strict
cmake --build build/sanitize -j"$jobs"
ctest --test-dir build/sanitize -j"$jobs" --output-on-failure

# The web edition is built first: the Linux and Windows packages carry its
# page. Its tests compare the page with the native program, so they run
# after the native build.
export NODE_PATH=/usr/share/nodejs  # emcc's optimizer finds acorn among Debian's node modules
emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release -DFREQCODE_BENCH=OFF $strict \
      -DFREQCODE_NATIVE_TABLE="$PWD/build/release/table/freqcode-table"
cmake --build build/web -j"$jobs"
page=$PWD/build/web/window/web/freqcode.html

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFREQCODE_TESTS=ON -DFREQCODE_BENCH=ON $strict \
      -DFREQCODE_WEB_PAGE="$page"
cmake --build build/release -j"$jobs"
ctest --test-dir build/release -j"$jobs" --output-on-failure

# Release, as distributions build it, with both compilers: no warning either.
for compiler in g++ clang++; do
  cmake -S . -B "build/release-$compiler" -DCMAKE_CXX_COMPILER=$compiler -DCMAKE_BUILD_TYPE=Release \
        -DFREQCODE_TESTS=OFF -DFREQCODE_BENCH=OFF $strict
  cmake --build "build/release-$compiler" -j"$jobs"
done

# The web edition's tests: the calculation, the window's rules and the list
# program built for WebAssembly, their suites run under node, and the page
# in headless Chromium, its lists checked against the native program.
ctest --test-dir build/web -j"$jobs" --output-on-failure

# The tests stop their wineserver themselves; this catches an interrupted run.
trap 'WINEPREFIX="$PWD/build/windows/wineprefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true' EXIT
cmake -S . -B build/windows --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release $strict \
      -DFREQCODE_WEB_PAGE="$page"
cmake --build build/windows -j"$jobs"
ctest --test-dir build/windows -j"$jobs" --output-on-failure
