#pragma once
// The sparse engine's optimum ranged by GLPK (engine/SparseRanging.h), told exactly as
// analysis::userRanges tells the standard form's ranges (UserRanging.h): the user's costs and
// sense, the objective with its constant, marginals dF/db, "basic" for a column strictly
// between its bounds in the basis, a ranged row at the bound the plan meets (its upper one
// when it meets neither), limiting variables by the model's column and row names (a bound by
// its column), the objective at each end, and how far a non-basic column can be pushed into
// the plan. This is the road of the models whose standard form is too large for the record
// with its dense inverse (EngineBasis.h); the smaller ones keep that road.
//
// What GLPK does not say is made from the basis, as the standard form's ranging finds it:
// - a basic row: its bound may move freely away from the activity, and up to the activity
//   (an "=" row's not at all), the row itself limiting there;
// - a fixed column is a constant of the standard form: no cost moves the plan;
// - a row whose coefficients are all on fixed columns holds for every bound its constant
//   activity meets.
// The flags "degenerate" and "other optima" are read from the basis with the same Eps.

#include <cstdint>
#include <string>

#include "analysis/Ranging.h"
#include "engine/SparseEngine.h"
#include "engine/SparseRanging.h"
#include "model/Model.h"
#include "model/StandardForm.h"

namespace kvado::session {

// `g` in the terms of `m`; `user` is the answer's solution (userSolutionOf).
analysis::Ranges engineRanges(const model::Model& m, const engine::SparseRanging& g,
                              const model::UserSolution& user, Real eps);

// The whole road: GLPK's ranging of `answer` within `seconds`, in the model's terms. False,
// with `why` in the user's words (numbers with `separator`), when the budget ran out or GLPK
// could not range the basis.
bool rangeEngineAnswer(const model::Model& m, const engine::SparseAnswer& answer,
                       const model::UserSolution& user, double seconds, char separator,
                       analysis::Ranges& out, std::string& why);

} // namespace kvado::session
