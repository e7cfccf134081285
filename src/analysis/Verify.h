#pragma once
// The exact check of a solve: the method's final basis solved again in rational arithmetic, on
// the numbers as the user wrote them, and its answer (optimum, no feasible solution, unbounded
// objective) either proved or refuted.
// It only reads the LP problem; the solve's numbers and its trace log stay as they are.

#include <atomic>
#include <cstdint>
#include <string>

#include "solver/LpProblem.h"
#include "solver/Simplex.h"

namespace kvado::analysis {

// An answer is right when it is the exact one up to the rounding of the method's arithmetic:
// its Z within this much (relative, at least absolute) of the exact optimum and its plan
// meeting every row and X >= 0 within this much of the size of the row's terms.
inline constexpr Real kAnswerTolerance = 1e-9L;

enum class Verdict {
    // The answer is right: the method's basis is exactly optimal (its exact solution is
    // feasible and its multipliers prove it), or, where the basis misses by a rounding, the
    // exact optimum found from it equals the method's Z.
    Optimal,
    NotOptimal,  // the plan is feasible but Z is not the optimum
    NotFeasible, // the basis's exact solution, or the method's plan, breaks a row
    // The final phase-1 multipliers are an exact Farkas certificate, or the exact simplex
    // finds no feasible solution either.
    InfeasibleConfirmed,
    InfeasibleNotConfirmed, // neither
    // A feasible point and an exact ray along which Z falls, or the exact simplex finds Z
    // unbounded too.
    UnboundedConfirmed,
    UnboundedNotConfirmed, // not both
    Skipped,               // not run: too large, out of time, or stopped
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
    // For an optimum: the exact optimum when it was found (always for Optimal), else the exact
    // objective of the method's final basis; for an unbounded answer that of its final basis;
    // none for "no feasible solution" or a singular basis.
    bool hasObjective = false;
    std::string objectiveExact;   // "p/q" in lowest terms
    std::string objectiveDecimal; // 15 significant digits, the caller's separator
    Real objectiveValue = 0;      // the extended number nearest to it
    Real objectiveError = 0;      // the method's Z minus the exact one
    // What was proved or what failed, one Russian sentence.
    std::string reason;
    // Some number's text could not be held exactly: the verdict is about that number rounded
    // to an extended one, and is not called exact (the reason says so).
    bool rounded = false;
    // For a refuted answer, why the method went wrong where the final state shows it; else
    // the general «метод не нашел решения из-за масштаба данных». Empty when not refuted.
    std::string cause;
    double seconds = 0;
};

// The method's Z as the report shows it.
Real methodObjective(const LpProblem& p);

// Checks the solved problem's answer (Skipped after a pass limit or a stopped solve) against the
// problem as the user wrote it (the exact values LpProblem keeps beside its numbers). Where the
// method's own basis does not prove it, the exact solver is started from that basis within the
// same budget. `outcome` is what solve() returned; the final basis is the problem's basis list (for
// "no feasible solution" the phase-1 basis, for an unbounded objective the basis and the entering
// column where the ratio test found no row).
Verification verify(const LpProblem& p, SolveOutcome outcome, const VerifyOptions& options = {});

} // namespace kvado::analysis
