#pragma once
// The transformation of a general model into the one form the solver takes (minimise,
// ">=" rows, then "=" rows, then "<=" rows, every B >= 0, every X >= 0), and the map that
// turns the solver's answer back into the user's terms.
//
// Columns: a finite lower bound l gives x = l + x'; a finite upper bound on such a column
// adds the "<=" row x' <= u - l; a column with only an upper bound u gives x = u - x'; a free
// column x = x+ - x-; a fixed column (l = u) is substituted as a constant. Rows: a ranged row
// becomes a ">=" and a "<=" row (an "=" row when l = u); a row whose right-hand side is
// negative after the shifts is multiplied by -1 and its relation turned; a row without
// coefficients is left out (and makes the problem infeasible when 0 cannot meet it). Rows keep
// the user's order within their group; the bound rows come last among the "<=" rows.
// Maximisation negates the costs.

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/DataFile.h"
#include "model/Model.h"
#include "solver/LpProblem.h"

namespace kvado::model {

// What the transformation did, for the message after an open.
struct TransformSummary {
    bool maximised = false;  // costs negated
    int64_t rowsNegated = 0; // rows (or halves of ranged rows) multiplied by -1
    int64_t rangesSplit = 0; // ranged rows made a ">=" and a "<=" row
    int64_t rangesEqual = 0; // ranged rows with l = u made an "=" row
    int64_t shifted = 0;     // x = l + x' with l != 0
    int64_t mirrored = 0;    // x = u - x'
    int64_t split = 0;       // free columns x = x+ - x-
    int64_t fixed = 0;       // l = u, substituted
    int64_t boundRows = 0;   // upper bounds made "<=" rows
    int64_t emptyRows = 0;   // rows without coefficients, left out
};

// "Задача приведена к стандартному виду: ..." naming every step that was taken.
std::string summaryText(const TransformSummary& s);

struct StandardForm {
    int32_t G = 0, E = 0, L = 0, N = 0;
    int32_t M() const { return G + E + L; }
    std::vector<std::string> rowNames;    // M, in the solver's order
    std::vector<std::string> columnNames; // N
    std::string objectiveName;
    std::vector<Real> cost; // N
    std::vector<Real> rhs;  // M, every one >= 0
    // The coefficients by rows (0-based), columns ascending within a row.
    std::vector<int64_t> rowStart; // M + 1
    std::vector<int32_t> columnIndex;
    std::vector<Real> values;
    // The exact image of the user's numbers beside cost, rhs and values, where it differs
    // from the extended number (the transformation computes the extended numbers as always,
    // and the exact ones beside them).
    std::vector<text::ExactNumber> costExact, rhsExact, valuesExact;

    TransformSummary summary;
    // Not empty when the model can have no solution whatever the solver does (a row without
    // coefficients that 0 cannot meet, a column whose lower bound lies above its upper one);
    // the text names the row or column.
    std::string infeasible;
    // Which one: the user's column whose bounds cross, or the user's row without coefficients
    // and the side it cannot meet (+1 its lower bound, -1 its upper one), or 2 for a range
    // row whose bounds cross (5 <= x <= 3); -1 and 0 otherwise.
    int32_t infeasibleColumn = -1;
    int32_t infeasibleRow = -1;
    int infeasibleSide = 0;

    // --- the map back --------------------------------------------------------------------
    // The user's objective is sign * Z + offset, Z the standard form's minimum.
    int sign = 1;
    Real offset = 0;
    enum class ColumnKind { Shifted, Mirrored, Free, Fixed };
    struct ColumnMap {
        ColumnKind kind = ColumnKind::Shifted;
        int32_t column = -1;   // the standard column (x', or x+ of a free column); -1 if fixed
        int32_t boundRow = -1; // the row x' <= u - l, or -1
        Real shift = 0;        // l (Shifted), u (Mirrored), the value (Fixed)
        text::ExactNumber shiftExact;
    };
    std::vector<ColumnMap> columnMap; // per user column
    struct RowMap {
        int32_t row[2] = {-1, -1}; // the standard rows made from the user's row (-1: none)
        int sign[2] = {1, 1};      // -1 where the row was multiplied by -1
    };
    std::vector<RowMap> rowMap; // per user row
};

// Transforms the model. Counts beyond ProblemLimits raise ProblemSizeError with the program's
// size message before the standard form is allocated.
StandardForm toStandardForm(const Model& model);
// False when the transformation is sure to find nothing that no plan meets (no bounds that
// cross, no row whose every coefficient is 0 or on a fixed column), at a fraction of its cost:
// the sparse engine's road needs the transformation only to tell such a model.
bool transformMayRuleOut(const Model& model);

// Reset, standard-form set-up in the loaders' order and snapshots, as the data-file open does.
// An observer sees every value as a data file's open shows it (zeros included), so the input
// grid fills the same way.
void loadProblem(const StandardForm& sf, Real eps, LpProblem& problem,
                 datafile::LoadObserver* observer = nullptr);

// The exact image of the user's numbers (StandardForm's exact values, or its extended numbers
// where it keeps none) beside every number of `problem`, a load of sf's counts whose numbers
// came another way (the input grid's texts of the standard form): the exact analyses then
// judge the problem the user wrote, not its texts in the grid.
void applyExactValues(const StandardForm& sf, LpProblem& problem);

// The answer of an optimal solve in the user's terms. Marginals follow the established LP
// tools: a row's marginal is dF/db of the user's objective F (a binding "<=" resource of a
// maximisation has a positive one), a column's is its reduced cost c - yᵀa in the user's sense.
struct UserSolution {
    Real objective = 0; // in the user's sense, constant included
    std::vector<Real> columnValue, columnMarginal;
    std::vector<Real> rowActivity, rowMarginal;
};
UserSolution mapBack(const Model& model, const StandardForm& sf, const LpProblem& solved);
// The same for a model of the problem it was made from by modelOfProblem() (a data file's),
// solved as it stands: row i is the problem's row i, column j its column j.
UserSolution mapBackLoaded(const Model& model, const LpProblem& solved);

// The model of a problem already in the standard form (the data file's): ">=" rows, "=" rows,
// "<=" rows, columns >= 0, minimise. Names default to the row number and X[j].
Model modelOfProblem(const LpProblem& problem, const std::vector<std::string>& rowNames,
                     const std::vector<std::string>& columnNames, const std::string& objectiveName);

} // namespace kvado::model
