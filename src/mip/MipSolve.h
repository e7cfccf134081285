#pragma once
// The integer search of a model: the own branch and bound (BranchAndBound.h) for a small
// model, whose every node a student can follow, and GLPK's branch and cut for a larger one.

#include "mip/MipTree.h"
#include "model/Model.h"

namespace kvado::mip {

// Whether the own branch and bound takes the model (at most kOwnMaxIntegers integer columns and
// kOwnMaxRows rows).
bool ownCanTake(const model::Model& m);

// The engine Auto picks for `m` (kAutoOwnIntegers, kAutoOwnRows), or the one asked for.
MipEngine chosenEngine(const model::Model& m, MipEngine asked);

// Solves `m` as an integer model with the engine `options` asks for (Auto: chosenEngine()).
// A model without integer columns is solved as well (its relaxation is its answer). Never
// throws for GLPK's sake (std::bad_alloc may come from the answer's own vectors).
MipAnswer solveMip(const model::Model& m, const MipOptions& options = {});

// The own branch and bound: every node's relaxation by the method where it takes the node's
// model, else by the sparse engine; depth first, backtracking to the best bound.
MipAnswer solveOwn(const model::Model& m, const MipOptions& options = {});

// GLPK's branch and cut (glp_intopt) under the GLPK guard.
MipAnswer solveGlpk(const model::Model& m, const MipOptions& options = {});

} // namespace kvado::mip
