#pragma once
// Gomory's fractional cuts for a pure integer problem in the method's standard form, as a
// course teaches them: from the final simplex tableau take a row whose basic value b̄ is
// fractional, x_B + Σ ā_j·x_j = b̄ over the non-basic columns j; since every column (the
// unknowns, and the surplus and slack columns of rows with whole coefficients) must be whole,
//     Σ f_j·x_j >= f0,   f_j = ā_j − ⌊ā_j⌋,  f0 = b̄ − ⌊b̄⌋,
// holds at every integer plan and fails at the current vertex (where every x_j = 0). Written
// in the unknowns (each surplus and slack replaced by its row) it is a row with whole numbers,
// Σ g_j·X[j] <= h, the Chvátal–Gomory cut of that tableau row; it is added and the relaxation
// solved again.

#include <cstdint>
#include <optional>
#include <vector>

#include "solver/LpProblem.h"

namespace kvado::mip {

struct GomoryCut {
    int32_t row = 0;         // the tableau row (1..M) it comes from
    int32_t basicColumn = 0; // the column basic there (the method's number)
    Real basicValue = 0;     // b̄
    Real f0 = 0;             // its fractional part
    struct Term {
        int32_t column = 0;   // a non-basic column (the method's number, no artificial)
        Real coefficient = 0; // ā_j
        Real fraction = 0;    // f_j
    };
    std::vector<Term> terms; // the row's non-basic columns with ā_j != 0
    // The cut in the unknowns: Σ g[j-1]·X[j] <= h (whole numbers when the data are whole).
    std::vector<Real> g;
    Real h = 0;
};

// Whether Gomory's cuts apply: every A[i,j] and B[i] a whole number, so that every surplus
// and slack column is whole at an integer plan.
bool wholeData(const LpProblem& p);

// The cut from the final basis of `solved`, a solve that ended at an optimum: from the row
// whose basic value has the largest fractional part (the first such row on a tie); none when
// every basic value is whole within `tolerance`.
std::optional<GomoryCut> fractionalCut(const LpProblem& solved, Real tolerance = 1e-9L);

// `from` (as loaded) with the cut as one row more: a "<=" row when h >= 0, else the ">=" row
// −g·X >= −h, after the rows of its kind; loaded into `to` (reset, set-up and snapshots) with
// `from`'s Eps, ready for the method.
void addCut(const LpProblem& from, const GomoryCut& cut, LpProblem& to);

// Whether the plan X[1..N] (x[0] unused) is whole within `tolerance`.
bool integral(const std::vector<Real>& x, int32_t N, Real tolerance = 1e-9L);

} // namespace kvado::mip
