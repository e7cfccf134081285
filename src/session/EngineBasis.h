#pragma once
// The sparse engine's final basis laid into a record of the model's standard form, so that the
// analyses written for the method's final basis (the exact check and the exact solve, ranging,
// the explanation of a model without an answer) read the engine's answer as they read the
// method's, and tell it in the model's terms through the same map back. The record is the
// session's own: the problem the user edits stays as it was.
//
// An optimum or an unbounded objective: the engine's basis on the model becomes the standard
// form's (a column at its upper bound is its shifted column basic with its bound row's slack at
// 0, a row at one of its bounds has its surplus or slack out of the basis, and so on). No
// feasible solution: phase 1 of the standard form (the sum of its artificial variables) is
// solved by the engine, and its optimal basis is the final phase-1 basis the certificate is
// read from, as the method's own phase 1 would leave one.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "analysis/ModelCheck.h"
#include "engine/SparseEngine.h"
#include "model/Model.h"
#include "model/StandardForm.h"
#include "solver/LpProblem.h"
#include "solver/SolveOutcome.h"

namespace kvado::session {

struct EngineRecord {
    model::StandardForm standard;
    LpProblem problem;
    SolveOutcome outcome = SolveOutcome::Stopped;
    // The whole basis inverse is in the record (ranging reads it); made on demand.
    bool inverse = false;
};

// The record of the engine's answer `a` to `m` (an optimum, no feasible solution or an
// unbounded objective). Null, with `why` in the user's words, when the standard form is beyond
// the method's limits or the basis does not map.
std::unique_ptr<EngineRecord> engineRecord(const model::Model& m, const engine::SparseAnswer& a,
                                           std::string& why);

// The most rows of the standard form whose basis inverse is made for ranging: it is dense, as
// the method's is, and its making costs the cube of the basis's structural columns.
inline constexpr int32_t kEngineInverseRows = 3000;

// Makes the record's basis inverse, its multipliers and the basic values from it, as the
// method's final basis leaves them. False, with `why`, above kEngineInverseRows rows or for a
// singular basis.
bool layInverse(EngineRecord& r, std::string& why);

// Phase 1 of `p` (the sum of its artificial variables minimised over its rows and X >= 0)
// solved by the engine, its optimal basis left in `p` as the method's phase 1 leaves its final
// one. Infeasible when the sum stays above the engine's tolerance, Optimal when it reaches 0
// (the rows are feasible; "feasible" is then the engine's word), Stopped when `stop` ended it
// or the engine failed.
SolveOutcome enginePhase1(LpProblem& p, const std::function<bool()>& stop = nullptr);

// The engine's answer as the exact check of the model itself reads it (analysis/ModelCheck.h):
// the road of a model whose standard form is beyond the record's rows.
analysis::ModelAnswer modelAnswerOf(const engine::SparseAnswer& a);

} // namespace kvado::session
