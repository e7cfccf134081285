#pragma once
// A node of the own branch and bound solved again by the method with its passes recorded, so
// that the step view shows how its relaxation was solved: the root model with the node's added
// bounds, through its standard form.

#include <memory>
#include <optional>
#include <string>

#include "base/Names.h"
#include "mip/MipTree.h"
#include "model/Model.h"
#include "model/StandardForm.h"
#include "solver/LpProblem.h"
#include "solver/SolveOutcome.h"
#include "solver/StepRecorder.h"

namespace kvado::session {

struct NodeReplay {
    // Not empty: why the node is not replayed (its relaxation was not the method's, or its
    // bounds leave no plan before any solve); nothing else is set then.
    std::string refused;
    model::StandardForm standard;
    LpProblem problem;
    std::unique_ptr<StepRecorder> steps;
    SolveOutcome outcome = SolveOutcome::Stopped;
    Names names; // the standard form's
};

// Solves node `node` of the search of `root` again (its trace log in a scratch folder, removed
// afterwards). Throws FileError when that folder cannot be made.
NodeReplay replayNode(const model::Model& root, const mip::MipNode& node);

// Where the plane of a model's two columns is its standard form's own (each column x >= 0 as
// it stands): the graphical method then draws the model's points as they are.
bool planeIsModels(const model::Model& m, const model::StandardForm& sf);

} // namespace kvado::session
