#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test binary under the C and a Russian locale, then
# the fuzz targets. Arguments go to ctest (for example -R ru. or -j1).
set -euo pipefail
cd "$(dirname "$0")"
KVADO_WITH_TEST_TOOLS=1 source tools/setup.sh

# What the tests need besides the packages. Under CI (CI=true) nothing may pass by being
# skipped, so a missing input or tool ends the run here; elsewhere the run goes on and says
# what was left out, before the tests and again at the end.
netlib=${KVADO_NETLIB_DIR:-$(realpath -m ../shared/netlib)}
missing=()
[ -f "$netlib/afiro.dat" ] || missing+=("the Netlib problems in $netlib (or KVADO_NETLIB_DIR)")
for tool in clang++ glpsol esolver unrtf; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "${CI:-}" = true ]; then
        printf 'test.sh: FAILED: missing under CI: %s\n' "${missing[@]}" >&2
        exit 1
    fi
    warn_missing() {
        printf '\ntest.sh: WARNING: missing, so the tests that need it were SKIPPED: %s\n' \
            "${missing[@]}" >&2
    }
    warn_missing
    trap warn_missing EXIT
fi

TIMEFORMAT='test.sh: %0R s, CPU %0U s user + %0S s system'
echo "test.sh: build"
# The benchmarks are built by ./run.sh's Release build, where their numbers mean something.
# clang builds the sanitized tests in about half the CPU time GCC takes (the program itself
# is built by GCC in ./run.sh, and both stay free of warnings). A build folder left by the
# other compiler is started afresh.
if [ -f build/test/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' build/test/CMakeCache.txt; then
    rm -rf build/test
fi
CC=clang CXX=clang++ cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKVADO_SANITIZE=ON \
    -DKVADO_BENCH=OFF -DKVADO_NETLIB_DIR="$netlib" >/dev/null
time cmake --build build/test -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
echo "test.sh: tests"
time ctest --test-dir build/test --output-on-failure -j"$(nproc)" "$@"
# The fuzz targets: replay their corpus always, then fuzz each for FUZZ_SECONDS (3 here;
# tools/fuzz.sh alone takes 30). Built without optimisation: for five seconds a target the
# build's time counts, not the executions a second.
echo "test.sh: fuzz"
time FUZZ_SECONDS=${FUZZ_SECONDS:-3} FUZZ_CXXFLAGS=${FUZZ_CXXFLAGS:--O0} tools/fuzz.sh
