#pragma once
// A problem as the user types it: the five count and tolerance edits and the input grid, and
// how they become the LP problem. The main window, kvado-cli and the tests all come here, so
// a typed or opened problem is checked and loaded one way.

#include <cstdint>
#include <string>

#include "grid/StringGridModel.h"
#include "solver/LpProblem.h"

namespace kvado::session {

// The texts of the edits edG, edE, edL, edN and edEps.
struct EditTexts {
    std::string G, E, L, N, eps;
};

// The edits of a problem's counts and tolerance, as the open command shows them.
EditTexts editTextsOf(const LpProblem& p, char decimalSeparator);

// Edit parse: the counts and Eps from the edits into the problem. Each count is stored as soon
// as it is read, so a failure further on leaves the counts before it changed. Returns the
// message of the first edit refused, empty when all five are taken.
std::string parseEdits(const EditTexts& edits, LpProblem& p);

// The input grid for M constraints and N unknowns: N+2 columns by M+3 rows; a new table
// (`newTable`) also gets its widths, headings and placeholders, a resize keeps every cell.
void layOutInputGrid(StringGridModel& grid, int32_t M, int32_t N, bool newTable);

// Grid transfer after a successful edit parse: the problem reset, every number cell converted
// with the user's separator into the tableau, the snapshots taken. A cell that does not
// convert throws text::ConversionError, with the problem reset and filled as far as it got.
void transferGrid(const StringGridModel& grid, char decimalSeparator, LpProblem& p);

// The objective's name as the grid holds it in its caption cell (0, M+2), trimmed; empty when
// the caption is still a new table's or an opened file's own.
std::string objectiveNameOf(const StringGridModel& grid, int32_t M);

// The message when the grid's shape does not match the counts (M+3 rows, N+2 columns), empty
// when it does.
std::string gridShapeMessage(const StringGridModel& grid, const LpProblem& p);

// The first row whose right-hand side is negative, 0 when there is none. The first phase
// starts from the right-hand sides as its basic values: a negative one would start it outside
// the feasible region.
int32_t negativeRightHandSide(const LpProblem& p);
// Whether the tolerance can drive the method: it must be above 0, or the first phase might
// never end.
bool toleranceAccepted(Real eps);

} // namespace kvado::session
