#pragma once
// The integer marks of the input grid's unknowns («целое», «0/1») and the column kinds of the
// model the grid stands for, both ways: a model laid into the grid marks the standard form's
// columns its integer columns became, and the grid's problem as a model takes its kinds from
// the marks, so a solve and a save of LP or MPS keep them.

#include "grid/StringGridModel.h"
#include "model/Model.h"
#include "model/StandardForm.h"

namespace kvado::session {

// Column j (0-based) of `m`, the grid's problem as a model, takes the kind of grid column
// j + 2; a binary one also gets its bounds 0 and 1.
void applyColumnMarks(const StringGridModel& grid, model::Model& m);

// The grid's marks for `sf`, the standard form of `m` laid into the grid: every standard
// column an integer column became is marked (a free column's two halves alike), «0/1» where
// a binary column stands as itself; every other mark is cleared.
void markColumnsOf(const model::Model& m, const model::StandardForm& sf, StringGridModel& grid);

} // namespace kvado::session
