#pragma once
// The exact solve: the problem as the user wrote it (the decimals of its texts, see
// text/ExactNumber.h) solved by QSopt_ex's exact solver, started from the method's final basis,
// in a process of its own that the time limit or a stop ends; its final basis is solved once
// more exactly here and checked against the same numbers. The method stays the solver of
// record; this is what the user is shown beside its answer when the exact check refutes it.

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
    // Start from the method's final basis (otherwise from the solver's own).
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
    // The solver's final basis, solved exactly here, is feasible and optimal for the problem
    // as written (for an optimum); its certificate of no feasible solution, or a feasible
    // basis with a ray, checked here (for the other outcomes).
    bool verified = false;
    // Some number's text could not be held exactly, so the answer is for that number rounded
    // to an extended one: not an exact answer (the message says so).
    bool dataRounded = false;
    bool warmStarted = false; // started from the method's basis
    int32_t iterations = 0;
    double seconds = 0;
    // One sentence on why the method's answer differs: the verification's, empty when it
    // confirmed the answer or was not given.
    std::string cause;
    std::string message; // why there is no result (stopped, failed)
};

// «данные округлены до 80-битных чисел: ...», the note on an answer that is not exact.
std::string roundedDataText();

ExactSolution solveExactly(const LpProblem& p, const Verification* verification = nullptr,
                           const ExactSolveOptions& options = {});

} // namespace kvado::analysis
