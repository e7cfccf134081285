#pragma once
// The exact solve: the problem solved by GLPK's rational simplex, started from the method's
// final basis, and GLPK's final basis solved once more exactly here and checked against the
// problem's own (80-bit) numbers. The method stays the solver of record; this is what the user
// is shown beside its answer when the exact check refutes it.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/Verify.h"
#include "solver/LpProblem.h"

namespace kvado::analysis {

enum class ExactStatus { Optimal, Infeasible, Unbounded, Stopped, Failed };
// "optimal", "infeasible", "unbounded"; "stopped" (time limit or cancelled), "failed".
const char* exactStatusName(ExactStatus s);

struct ExactSolveOptions {
    double maxSeconds = 60; // 0: no limit
    const std::atomic<bool>* cancel = nullptr;
    char decimalSeparator = ',';
    // Start from the method's final basis (otherwise from GLPK's standard basis).
    bool warmStart = true;
};

struct ExactSolution {
    ExactStatus status = ExactStatus::Failed;
    bool hasObjective = false;
    std::string objectiveExact;   // "p/q"
    std::string objectiveDecimal; // 15 significant digits
    Real objective = 0;
    std::vector<Real> x;  // X[1..N] at x[0..N-1]
    std::vector<Real> pi; // the shadow prices Pi[1..M] at pi[0..M-1], signed as the method's
    // GLPK's final basis, solved exactly here, is feasible and optimal for the problem's own
    // numbers (for an optimum; GLPK's own word for the other outcomes).
    bool verified = false;
    // Some number of the problem is not a double, so GLPK solved it with that number rounded.
    bool dataRounded = false;
    bool warmStarted = false; // GLPK accepted the method's basis as its start
    int32_t iterations = 0;
    double seconds = 0;
    // One sentence on why the method's answer differs: the verification's, empty when it
    // confirmed the answer or was not given.
    std::string cause;
    std::string message; // why there is no result (stopped, failed)
};

ExactSolution solveExactly(const LpProblem& p, const Verification* verification = nullptr,
                           const ExactSolveOptions& options = {});

} // namespace kvado::analysis
