#pragma once
// What the exact solve answers (see ExactSolve.h), apart from how it is reached, so that the
// basis checks it shares with the verification need not include the exact solve itself.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Real.h"

namespace kvado::analysis {

enum class ExactStatus { Optimal, Infeasible, Unbounded, Stopped, Failed };
// "optimal", "infeasible", "unbounded"; "stopped" (time limit or cancelled), "failed".
const char* exactStatusName(ExactStatus s);

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

} // namespace kvado::analysis
