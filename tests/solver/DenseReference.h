#pragma once
// A plain, dense implementation of the same two-phase method, written for the tests only: the
// whole tableau and the whole inverse table as two-dimensional arrays, and every loop over
// every index in the order the method states, with no shortcut for zeros or unit columns. The
// solver proper stores the tableau sparsely and skips work that cannot change a value; the
// bit-identity test checks that it still reaches exactly the same numbers and log.

#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "solver/Simplex.h"
#include "solver/TraceLog.h"

namespace kvado::test {

struct DenseResult {
    SolveOutcome outcome = SolveOutcome::Optimal;
    int32_t passes = 0, entering = 0, leaving = 0;
    std::vector<int32_t> basis;             // rows 0..M
    std::vector<int32_t> basic;             // columns 0..phase-1 column count
    std::vector<std::vector<Real>> inverse; // rows and columns 0..M+2
    std::vector<Real> pricing;              // columns 0..phase-1 column count
    std::vector<Real> solution;             // columns 0..phase-1 column count
    std::vector<std::string> messages;      // message boxes shown
    // How often the two less common rules decided something, so that a test can show that
    // its problems reach them.
    int32_t artificialLeft = 0;        // a basic artificial left in phase 2 instead of r
    int32_t phase1UnboundedPassed = 0; // an unbounded column in phase 1, then phase 1 ended
    int32_t degenerateRounds = 0;
};

// Solves `d` and writes the trace log through `log` (opened and closed here).
DenseResult denseSolve(const ProblemData& d, TraceLog& log, char decimalSeparator);

} // namespace kvado::test
