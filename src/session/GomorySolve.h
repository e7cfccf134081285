#pragma once
// Gomory's fractional cuts as a lesson: the grid's pure integer problem solved by the method,
// a cut derived from the final tableau and added, and the relaxation solved again, until its
// plan is whole, it has no plan, or the limit of cuts is met. Every round is kept with its
// derivation, for the window and the report section «Отсечения Гомори».

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Names.h"
#include "mip/Gomory.h"
#include "solver/LpProblem.h"
#include "solver/SolveOutcome.h"

namespace kvado::session {

struct GomoryRound {
    LpProblem problem; // the relaxation solved, the cuts so far among its rows
    SolveOutcome outcome = SolveOutcome::Stopped;
    Real objective = 0;
    std::vector<Real> x;               // X[1..N], x[0] unused
    std::optional<mip::GomoryCut> cut; // derived from its final tableau; none at the end
};

struct GomoryRun {
    enum class End { Integral, Infeasible, Unbounded, CutLimit, NoAnswer };
    End end = End::NoAnswer;
    std::vector<GomoryRound> rounds;
};

inline constexpr int32_t kGomoryMaxCuts = 30;

// The message when the problem is not one the cuts take (empty when it is): every unknown
// must be marked whole and every A[i,j] and B[i] be whole.
std::string gomoryRefusal(const LpProblem& loaded, bool everyUnknownInteger);

// Runs the cuts on `loaded` (a loaded problem; each round's trace log in a scratch folder,
// removed afterwards). Throws FileError when that folder cannot be made.
GomoryRun solveWithCuts(const LpProblem& loaded, int32_t maxCuts = kGomoryMaxCuts);

// The derivation as report lines: every round's relaxation and plan, the tableau row, the
// fractional parts, the cut in both forms, then the end. `names`: the unknowns' (X[j] where
// none is given).
std::vector<std::string> gomoryLines(const GomoryRun& run, const Names& names,
                                     char decimalSeparator);

class Session;
struct EditTexts;

// The session's call: the input loaded as «Решить» loads it (its messages shown), refused
// with a message unless every unknown is marked whole and the data are whole, a binary
// unknown given its row X[j] <= 1, then the cuts; none when a message was shown. `names`
// gets the unknowns' names from the input grid.
std::optional<GomoryRun> gomoryOfInput(Session& session, const EditTexts& edits, Names& names);

} // namespace kvado::session
