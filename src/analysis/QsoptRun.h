#pragma once
// QSopt_ex's exact solver run in a process of its own: the problem handed over as rationals,
// an optional starting basis, and its answer (status, final basis, the exact values and
// multipliers asked for) read back as fraction texts. The budget or a stop ends the process
// whatever it is doing (QSopt_ex cannot be interrupted), and nothing it does can end this
// program. Internal to the analyses: the exact solve of the standard form and the exact check
// of a model share it.

#include <cmath>
#include <string>
#include <vector>

#include "analysis/ExactBasis.h"

namespace kvado::analysis {

// QSopt_ex's statuses and basis codes.
inline constexpr int kQsOptimal = 1, kQsInfeasible = 2, kQsUnbounded = 3;
inline constexpr char kQsBasic = '1', kQsAtLower = '0', kQsAtUpper = '2', kQsFree = '3';
// QSopt_ex takes numbers of this size for infinite (its bound of an unbounded column): the
// problem's own must stay below kQsLargestNumber.
inline constexpr double kQsInfinity = 1e150;
inline constexpr double kQsLargestNumber = 1e140;

// A problem for QSopt_ex, exactly, minimised: columns by their nonzeros (0-based rows), rows
// of sense 'G', 'E' or 'L'. Without bounds every column is >= 0; an infinite bound is
// ±kQsInfinity.
struct QsProblem {
    int ncols = 0, nrows = 0;
    std::vector<int> count, begin, index;
    std::vector<mpq_class> value, cost, rhs;
    std::vector<mpq_class> lower, upper; // empty, or one a column
    std::string sense;
    bool tooLarge = false; // a number at or beyond kQsLargestNumber
    // Flags `tooLarge` for such a number.
    void watch(const mpq_class& q) {
        if (std::fabs(q.get_d()) >= kQsLargestNumber) tooLarge = true;
    }
};

// What the solver process reports: its status and final basis; the values of the columns
// (for an optimum) and the multipliers of the rows (for an optimum, and for "no feasible
// solution" a Farkas certificate) when asked for.
struct QsAnswer {
    bool ran = false; // the process ended normally with an answer
    int status = 0;
    std::string cstat, rstat; // empty without a final basis
    std::vector<mpq_class> x, y;
};

struct QsRequest {
    // Start from this basis (QSopt_ex's codes, a column and a row each) when not empty.
    std::string cstat, rstat;
    bool values = false;      // x at an optimum
    bool multipliers = false; // y at an optimum (always for no feasible solution)
};

// Solves `q` within `budget`; throws Stopped when the budget ends it. `ran` is false when the
// process failed or its answer did not read.
QsAnswer runQsopt(const QsProblem& q, const QsRequest& request, const Budget& budget);

} // namespace kvado::analysis
