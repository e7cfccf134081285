#pragma once
// The exact check of an answer to a model as the user states it (bounds, ranges, free
// columns, either sense), for models whose standard form is too large to be laid into the
// method's record with its dense inverse. Nothing is transformed and nothing is inverted
// here: QSopt_ex's exact solver, started from the answer's final basis, solves the model
// itself on the numbers as written, and its exact plan and multipliers are then checked
// against every bound and row in rational arithmetic, once over the nonzeros (primal
// feasibility, reduced costs of the signs their bounds allow, complementary slackness). What
// is proved there, not the solver's word, decides the verdict on the answer.

#include <cstdint>
#include <vector>

#include "analysis/ExactSolution.h"
#include "analysis/Verify.h"
#include "model/Model.h"
#include "solver/SolveOutcome.h"

namespace kvado::analysis {

// Where a column or a row's activity stands in an answer's final basis.
enum class BasisMark : uint8_t { Basic, AtLower, AtUpper, Free };

// An answer to a model in the model's own terms (the sparse engine's).
struct ModelAnswer {
    SolveOutcome outcome = SolveOutcome::Optimal; // Optimal, Infeasible or Unbounded
    Real objective = 0;                           // in the model's sense, constant included
    std::vector<Real> columnValue;                // one a column
    // The final basis, one mark a column and a row; empty: none (a cold start).
    std::vector<BasisMark> columnStatus, rowStatus;
};

struct ModelCheck {
    // As verify()'s, in the model's terms: the exact objective in the model's sense with its
    // constant, the error the answer's objective minus it.
    Verification verification;
    // The exact answer the check found and proved (or, for "no feasible solution" and an
    // unbounded objective, took from the solver: `verified` says which): X a column, Pi a row
    // as the row's marginal dF/db in the model's sense. Failed when there is none.
    ExactSolution exact;
    // What the check proved, in the model's terms: for "no feasible solution" the rows'
    // multipliers (a row each) that, with the columns' bounds, add up to a contradiction; for
    // an unbounded objective a ray (a column each) and the objective's change along it, in the
    // model's sense. Empty where nothing was proved.
    std::vector<Real> certificate, ray;
    Real rayRate = 0;
};

// Checks `answer` to `m`. options.maxRows limits the model's rows (0: none); the budget and the
// stop are verify()'s.
ModelCheck verifyModel(const model::Model& m, const ModelAnswer& answer,
                       const VerifyOptions& options = {});

} // namespace kvado::analysis
