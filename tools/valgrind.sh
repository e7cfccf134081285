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
    rc=0
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
        --suppressions=tools/valgrind.supp --log-file="$log" "$bin" --gtest_brief=1 \
        >"$log.out" 2>&1 || rc=$?
    grep -E '^==[0-9]+== ERROR SUMMARY' "$log" | tail -1
    if [ $rc = 99 ]; then
        echo "memcheck: $bin: memory errors, see $log"
        grep -E '^==[0-9]+== (Invalid|Conditional|Use of|.*definitely lost)' "$log" | head -20
        failed=1
    elif [ $rc != 0 ]; then
        # Valgrind runs x87 arithmetic at double precision, so the tests that pin 80-bit
        # results fail under it; they are listed, not counted.
        echo "memcheck: $bin: clean; tests failing only under Valgrind's 64-bit x87 emulation:"
        grep -E '^\[  FAILED  \]' "$log.out" | sort -u | head -40
    else
        echo "memcheck: $bin: clean"
    fi
done
exit $failed
