#pragma once
// Sensitivity ranging of the sparse engine's optimum by GLPK's own analysis
// (glp_analyze_coef, glp_analyze_bound) on the engine's final basis, for models of any size:
// the model is loaded into GLPK again, the answer's row and column statuses are set, and the
// basis is factorised and its values computed (glp_warm_up) without a pivot. Only when GLPK
// does not find that basis optimal within its own tolerances does its primal simplex go on
// from it (presolve off); the statuses given back are the ones ranged.
//
// What is given is GLPK's view, in the model's own terms (its costs and sense, its bounds):
// - a basic column: the range of its cost over which the basis stays optimal, and at each end
//   the non-basic variable whose reduced cost reaches 0 there (it would enter);
// - a non-basic column or row: the range of the value of its active bound (for a row, the
//   bound its activity meets) over which the basis stays feasible, and at each end the basic
//   variable that reaches one of its bounds there (it would leave). A column's value cannot
//   pass its own other bound, nor a ranged row's activity the row's other bound: there the
//   column or the row itself limits.
// A basic free column counts as bounded by 0 on the side of its sign (it is two columns of at
// least 0 in the standard form: crossing 0 changes the basis there). Fixed columns and basic
// rows are not analysed (nothing in GLPK to ask; the session says what they mean).
//
// Each basic column costs GLPK a row of the simplex table (a BTRAN and a pass over the
// matrix), each non-basic variable a column (an FTRAN): on a very large model the whole
// analysis takes long, so it stops at a budget of seconds and says how far it came.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/SparseEngine.h"
#include "model/Model.h"

namespace kvado::engine {

struct SparseRangingOptions {
    double seconds = 5; // the budget of the whole analysis, loading and factorising included
};

// One range: its ends (±infinity where nothing limits) and the variable limiting each end, as
// GLPK numbers them 0-based: a row i, or rows + column j; -1 for none.
struct SparseRange {
    bool made = false;
    Real lower = 0, upper = 0;
    int64_t lowerLimit = -1, upperLimit = -1;
};

struct SparseRanging {
    enum class Status { Done, OverBudget, Failed } status = Status::Failed;
    std::string failure; // Failed: why (GLPK's lines, or the basis it would not take)
    // How many of the analyses were made before the budget ran out, of how many.
    int64_t analysed = 0, total = 0;
    // The statuses of the basis ranged (the answer's, unless GLPK had to go on from it).
    std::vector<BasisStatus> columnStatus, rowStatus;
    // Per column: a basic one's cost range, a non-basic one's value range (see above).
    std::vector<SparseRange> columns;
    // Per row: a non-basic one's range of the bound its activity meets.
    std::vector<SparseRange> rows;
};

// Ranges the optimum `answer` of `model` (its status must be Optimal).
SparseRanging rangeSparse(const model::Model& model, const SparseAnswer& answer,
                          const SparseRangingOptions& options = {});

} // namespace kvado::engine
