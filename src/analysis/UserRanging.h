#pragma once
// Sensitivity ranging in the terms of a model from an LP or MPS file: its columns with their
// bounds, its rows with their relations, its objective's sense and constant. The standard form
// the method solved is ranged (Ranging.h) and each range is carried back through the
// transformation's map.
//
// What changes on the way back:
// - costs and objectives are the user's (a maximisation's costs are not negated; the objective
//   carries its constant), and a cost range holds the plan, so the objective at a cost end is
//   the objective moved by (end − cost) · value;
// - shadow prices are the user's marginals dF/db (Model's convention), not the standard
//   form's Pi;
// - a column's status is "basic" when it lies strictly between its bounds in the plan (a
//   column at its upper bound is non-basic, though its standard column is basic with the
//   bound row's slack at 0);
// - a row made of two standard rows (a ranged row) is ranged at the bound the plan meets, at
//   its upper bound when it meets neither;
// - limiting variables are named by the user's column or row (a bound row by its column).

#include "analysis/Ranging.h"
#include "model/StandardForm.h"

namespace kvado::analysis {

// Ranges of the optimum that `solved` holds, the standard form `sf` of `model` solved to an
// optimum; `user` is mapBack()'s answer for it. Columns and rows in the model's order.
Ranges userRanges(const model::Model& model, const model::StandardForm& sf, const LpProblem& solved,
                  const model::UserSolution& user);

} // namespace kvado::analysis
