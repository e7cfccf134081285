#pragma once
// A few exact simplex pivots from a basis that misses optimality by little: the primal method
// when the basis is feasible, the dual method when its multipliers are, with Bland's rule so
// that degenerate pivots cannot cycle. Every pivot solves the new basis afresh (ExactBasis), so
// this is for the last steps only: a basis the method or GLPK (on numbers rounded to double)
// left next to the exact optimum. Internal to the analyses.

#include <vector>

#include "analysis/ExactBasis.h"

namespace kvado::analysis {

struct Continuation {
    enum class Status { Optimal, Infeasible, Unbounded, Unknown } status = Status::Unknown;
    std::vector<int32_t> basis; // the final basis list (positions 1..M)
    mpq_class objective;        // for Optimal
    int32_t pivots = 0;
};

// Artificial columns may be basic (they must then be exactly 0) but never enter. Unknown when
// the basis is singular, neither feasible nor dual feasible, or `maxPivots` run out. Throws
// Stopped with the budget.
Continuation continueExactly(const LpProblem& p, std::vector<int32_t> basis, const Budget& budget,
                             int32_t maxPivots);

} // namespace kvado::analysis
