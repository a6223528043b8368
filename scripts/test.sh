#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the plain build
# (gcc), and the whole suite again under AddressSanitizer and UBSan (clang)
# together with the seeded, bounded fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Third-party libraries (fontconfig, Qt's plugin loader) keep caches for the
# life of the process; their leaks are not ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"

cmake -S . -B build/sanitize -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
      -DFREQCODE_SANITIZE=ON -DFREQCODE_FUZZ=ON -DFREQCODE_BENCH=OFF
cmake --build build/sanitize -j"$jobs"
ctest --test-dir build/sanitize -j"$jobs" --output-on-failure

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j"$jobs"
ctest --test-dir build/release -j"$jobs" --output-on-failure
