#pragma once
// The exact solve: the problem as the user wrote it (the decimals of its texts, see
// text/ExactNumber.h) solved by QSopt_ex's exact solver, started from the method's final basis,
// in a process of its own that the time limit or a stop ends; its final basis is solved once
// more exactly here and checked against the same numbers. The method stays the solver of
// record; this is what the user is shown beside its answer when the exact check refutes it.

#include <atomic>
#include <cstdint>

#include "analysis/ExactSolution.h"
#include "analysis/Verify.h"
#include "solver/LpProblem.h"

namespace kvado::analysis {

struct ExactSolveOptions {
    double maxSeconds = 60; // 0: no limit
    const std::atomic<bool>* cancel = nullptr;
    char decimalSeparator = ',';
    // Start from the method's final basis (otherwise from the solver's own).
    bool warmStart = true;
};

ExactSolution solveExactly(const LpProblem& p, const Verification* verification = nullptr,
                           const ExactSolveOptions& options = {});

} // namespace kvado::analysis
