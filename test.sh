#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test (each under the C and a Russian locale).
set -euo pipefail
cd "$(dirname "$0")"
KVADO_WITH_TEST_TOOLS=1 source tools/setup.sh
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKVADO_SANITIZE=ON >/dev/null
cmake --build build/test -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
ctest --test-dir build/test --output-on-failure -j"$(nproc)" "$@"
# The fuzz targets: replay their corpus always, then fuzz each for FUZZ_SECONDS (default 30).
tools/fuzz.sh
