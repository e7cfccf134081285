#pragma once
// Sensitivity ranging of an optimal basis: how far each cost and each right-hand side may move
// while the final basis of a solve stays optimal (costs) or feasible (right-hand sides), what
// the objective is at each break point, and which variable enters or leaves there.
//
// Everything is read from the solved LP problem (basis list, basis inverse, multipliers) and
// nothing in it is changed, so ranging after a solve leaves the solve's results and its log as
// they were. The ranges are those of the current basis: on a degenerate optimum another basis
// of the same point may give other ranges, which is why the result says so.
//
// Sign conventions, the program's own:
// - Z is the minimised objective C[1]·X[1] + ... + C[N]·X[N].
// - The shadow price of a row is Pi[i], the basis inverse's multiplier as the results and the
//   report show it: the amount by which Z falls per unit increase of B[i]. So Z at a
//   right-hand side B[i] + t is Z − Pi[i]·t.
// - The reduced cost of an unknown is C[j] + Pi·A[.,j]; at a minimum it is >= 0 for a
//   non-basic unknown, and Z grows by it per unit pushed into the plan.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "solver/LpProblem.h"

namespace kvado::analysis {

// One unknown X[j] of the standard form.
struct ColumnRange {
    std::string name;
    bool basic = false;
    Real value = 0;
    Real cost = 0;        // C[j]
    Real reducedCost = 0; // 0 for a basic unknown
    // The cost range over which the basis stays optimal; an end without a limit is ±infinity
    // and has no limiting variable, and no objective unless Z does not move with the cost (then
    // Z). Objectives below follow the same rule.
    Real costLower = 0, costUpper = 0;
    std::optional<Real> objectiveAtCostLower, objectiveAtCostUpper;
    // At an end of a basic unknown's range: the non-basic variable whose reduced cost reaches
    // 0 there and would enter. At the lower end of a non-basic unknown's range the unknown
    // itself enters, and this names the basic variable that would leave.
    std::optional<std::string> limitingAtCostLower, limitingAtCostUpper;
    // Non-basic unknowns only: how far the unknown can be pushed into the plan with the other
    // non-basic variables kept at 0 (activityUpper, +infinity when nothing stops it), Z there
    // (Z + reduced cost · activityUpper) and the basic variable that reaches 0 first.
    Real activityUpper = 0;
    std::optional<Real> objectiveAtActivityUpper;
    std::optional<std::string> limitingAtActivityUpper;

    Real allowableIncrease() const { return costUpper - cost; }
    Real allowableDecrease() const { return cost - costLower; }
};

// One constraint row i of the standard form.
struct RowRange {
    std::string name;
    RowKind kind = RowKind::Less;
    // Whether the row's own surplus, slack or artificial variable is non-basic, i.e. the row
    // holds with equality in the plan.
    bool binding = false;
    Real activity = 0; // A[i,1]·X[1] + ... + A[i,N]·X[N]
    Real rhs = 0;      // B[i]
    // How far the row is from its bound: B − activity for "<=", activity − B for ">=", and
    // the residue B − activity for "=".
    Real slack = 0;
    Real shadowPrice = 0; // Pi[i]
    // The right-hand-side range over which the basis stays feasible (so the shadow price
    // holds), Z at each end and the basic variable that reaches 0 there and would leave.
    Real rhsLower = 0, rhsUpper = 0;
    std::optional<Real> objectiveAtRhsLower, objectiveAtRhsUpper;
    std::optional<std::string> limitingAtRhsLower, limitingAtRhsUpper;

    Real allowableIncrease() const { return rhsUpper - rhs; }
    Real allowableDecrease() const { return rhs - rhsLower; }
};

struct Ranges {
    // A basic variable within Eps of 0: the ranges hold for the current basis only.
    bool degenerate = false;
    // A non-basic variable whose reduced cost is within Eps of 0: the plan is not the only
    // optimum.
    bool otherOptima = false;
    Real objective = 0;               // Z
    std::vector<ColumnRange> columns; // X[1..N] in order
    std::vector<RowRange> rows;       // rows 1..M in order
};

inline constexpr const char* kDegenerateLine =
    "Решение вырождено: диапазоны относятся к текущему базису";
inline constexpr const char* kOtherOptimaLine = "Задача имеет другие оптимальные решения";

// The name of unknown j (1-based) and of row i as the ranging shows them: the given name, or
// "X[j]" and the row's number when none is given (an empty or blank entry, or a short list).
std::string columnName(const std::vector<std::string>& names, int32_t j);
std::string rowName(const std::vector<std::string>& names, int32_t i);

// Ranges the optimal basis that a solve has left in `problem`. Precondition: the solve ended
// at an optimum (on any other ending the numbers describe the last basis and mean nothing).
// `columnNames` holds the unknowns' names (X[1] first), `rowNames` the constraints'; either may
// be shorter than the counts or empty. A surplus, slack or artificial variable that enters or
// leaves is named by its row. `twins[j - 1]`, when given, pairs the halves x+ and x- of an
// unknown the user left free (each names the other's column, 0 for every other unknown): the
// cost of such an unknown moves both halves at once, which the ranging must know.
Ranges computeRanges(const LpProblem& problem, const std::vector<std::string>& columnNames,
                     const std::vector<std::string>& rowNames,
                     const std::vector<int32_t>& twins = {});

} // namespace kvado::analysis
