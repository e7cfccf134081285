#pragma once
// The exact check of a solve: the method's final basis solved again in rational arithmetic and
// its answer (optimum, no feasible solution, unbounded objective) either proved or refuted.
// It only reads the LP problem; the solve's numbers and its trace log stay as they are.

#include <atomic>
#include <cstdint>
#include <string>

#include "solver/LpProblem.h"
#include "solver/Simplex.h"

namespace kvado::analysis {

enum class Verdict {
    Optimal,                // the basis's exact solution is feasible and its multipliers prove it
    NotOptimal,             // feasible, but a reduced cost is negative (or the basis is singular)
    NotFeasible,            // the basis's exact solution breaks a row or an X >= 0
    InfeasibleConfirmed,    // the final phase-1 multipliers are an exact Farkas certificate
    InfeasibleNotConfirmed, // they are not
    UnboundedConfirmed,     // a feasible point and an exact ray along which Z falls
    UnboundedNotConfirmed,  // not both
    Skipped,                // not run: too large, out of time, or stopped
};
// The names in JSON: "optimal", "not_optimal", ..., "skipped".
const char* verdictName(Verdict v);

struct VerifyOptions {
    // The automatic check after every solve: problems up to 300 rows and 1 s. Zero: no limit.
    int32_t maxRows = 300;
    double maxSeconds = 1.0;
    // Another thread may set it to stop the check (verdict Skipped).
    const std::atomic<bool>* cancel = nullptr;
    char decimalSeparator = ',';
    // The check the user asks for: any size, no time limit.
    static VerifyOptions unlimited(const std::atomic<bool>* cancel = nullptr,
                                   char decimalSeparator = ',') {
        VerifyOptions o;
        o.maxRows = 0;
        o.maxSeconds = 0;
        o.cancel = cancel;
        o.decimalSeparator = decimalSeparator;
        return o;
    }
};

struct Verification {
    Verdict verdict = Verdict::Skipped;
    // The exact objective of the method's final basis (for Optimal: the exact optimum), when
    // the basis is not singular and the outcome is not "no feasible solution".
    bool hasObjective = false;
    std::string objectiveExact;   // "p/q" in lowest terms
    std::string objectiveDecimal; // 15 significant digits, the caller's separator
    Real objectiveValue = 0;      // the extended number nearest to it
    Real objectiveError = 0;      // the method's Z minus the exact one
    // What was proved or what failed, one Russian sentence.
    std::string reason;
    // For a refuted answer, why the method went wrong where the final state shows it; else
    // the general «метод не нашел решения из-за масштаба данных». Empty when not refuted.
    std::string cause;
    double seconds = 0;
};

// The method's Z as the report shows it.
Real methodObjective(const LpProblem& p);

// Checks the solved problem's answer. `outcome` is what solve() returned; the final basis is
// the problem's basis list (for "no feasible solution" the phase-1 basis, for an unbounded
// objective the basis and the entering column where the ratio test found no row).
Verification verify(const LpProblem& p, SolveOutcome outcome, const VerifyOptions& options = {});

} // namespace kvado::analysis
