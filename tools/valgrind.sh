#!/usr/bin/env bash
# Runs every test binary once under Valgrind's memcheck, on a build without sanitizers (the
# two do not mix). Slow, so it is not part of test.sh. Exits non-zero on any error Valgrind
# reports (invalid reads and writes, uninitialised values, definite leaks).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
command -v valgrind >/dev/null || { as_root apt-get install -y -qq valgrind; }
cmake -S . -B build/valgrind -DCMAKE_BUILD_TYPE=Debug -DKVADO_SANITIZE=OFF -DKVADO_BENCH=OFF >/dev/null
cmake --build build/valgrind -j"$(nproc)" >/dev/null
export QT_QPA_PLATFORM=offscreen
failed=0
for bin in build/valgrind/tests/kvado_core_tests build/valgrind/tests/kvado_ui_tests; do
    [ -x "$bin" ] || continue
    log=build/valgrind/$(basename "$bin").memcheck.log
    echo "memcheck: $bin (log: $log)"
    if valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
            --suppressions=tools/valgrind.supp --log-file="$log" "$bin" --gtest_brief=1 >/dev/null 2>&1; then
        echo "memcheck: $bin: clean"
    else
        echo "memcheck: $bin: errors, see $log"; grep -E '^==[0-9]+== (Invalid|Conditional|Use of|.*definitely lost)' "$log" | head -20
        failed=1
    fi
done
exit $failed
