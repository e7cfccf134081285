#!/usr/bin/env bash
# Installs what is missing, builds the program in Release and starts it in examples/.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKVADO_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
cd examples
exec ../build/release/src/kvado "$@"
