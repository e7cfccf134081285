#pragma once
// The LP problem: one record holding a linear programme in the form the solver works on,
// the revised simplex working data and the results of the last solve.
//
// Rows 1..M are the constraints (">=" rows, then "=" rows, then "<=" rows), row M+1 the
// objective and row M+2 the artificial objective. Columns 1..N are the unknowns, then one
// surplus column per ">=" row, one slack column per "<=" row and one artificial column per
// ">=" or "=" row; column 0 is the right-hand side.
//
// The tableau never changes after a load, so it is not stored densely: the structural columns
// keep their nonzeros contiguously in ascending row order, and the surplus, slack and
// artificial columns are unit columns known from the counts. tableau(i, j) gives any entry.
// Every sum the solver forms still runs in the ascending order of the dense method, and a
// product with an exact zero factor never changes a sum, so the results are the same bits.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "text/ExactNumber.h"
#include "text/NumberText.h"

namespace kvado {

// Counts that are negative or whose arrays this machine cannot hold.
class ProblemSizeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ProblemLimits {
    // The basis inverse is (M+3) x (M+3) extended numbers of 16 bytes: 8000 rows take 1 GiB.
    static constexpr int64_t maxRows = 8000;
    // Unknowns cost their nonzeros and a few numbers each.
    static constexpr int64_t maxColumns = 1000000;
    // The windows keep a text per coefficient in the input grid and another in the analysis
    // grid, about 130 bytes a coefficient in all (measured at 2000 x 2000): 20 million
    // coefficients take about 2.6 GB, what a desktop machine can spare.
    static constexpr int64_t maxCells = 20000000;
};

// Checks G, E, L, N before anything is allocated; throws ProblemSizeError with a message
// naming what is wrong.
void checkCounts(int64_t G, int64_t E, int64_t L, int64_t N);

class LpProblem {
public:
    // Counts, set by the loader before reset().
    int32_t G = 0, E = 0, L = 0, N = 0;
    // Derived by reset().
    int32_t M = 0, artificialRows = 0, phase2Columns = 0, phase1Columns = 0;
    int32_t objectiveRow = 0, artificialObjectiveRow = 0, activeColumns = 0;
    Real eps = 0;
    std::string dataFileName;

    // --- loading -------------------------------------------------------------------------
    // Derives M and the column counts and zeroes the tableau, inverse table, transformed
    // column, pricing row, basic flags and solution vector. Throws ProblemSizeError.
    void reset();
    // Standard-form set-up, in the loaders' order: every A[i,j] row by row, then every C[j],
    // then every B[i] in row order (each B[i] also sets up its row's extra columns, basis
    // entry and inverse entries).
    void setCoefficient(int32_t i, int32_t j, Real a);
    void setObjective(int32_t j, Real c);
    void setRightHandSide(int32_t i, Real b);
    // Check copy and initial right-hand sides.
    void takeSnapshots();

    // --- the numbers as written ---------------------------------------------------------
    // Beside a number of the tableau (A[i,j]; B[i] at j = 0; C[j] at i = M+1), the exact value
    // it stands for where that differs from the extended number: the decimal of the text it was
    // read from, or the exact image of such texts under the transformation to the standard
    // form. Only the exact analyses read them; the method solves the extended numbers. Set
    // after the number itself (an empty one: the extended number is exact); reset() forgets
    // them.
    void setExact(int32_t i, int32_t j, text::ExactNumber x);
    // Nullptr when the extended number is exact.
    const text::ExactValue* exact(int32_t i, int32_t j) const;
    // Some number's text could not be held exactly (see text::ExactValue::rounded).
    bool exactRounded() const { return m_exactRounded; }

    // --- reading -------------------------------------------------------------------------
    Real tableau(int32_t i, int32_t j) const;
    // The check copy is the tableau as the load left it; since nothing changes the tableau
    // after a load, it is read from the same columns.
    Real checkCopy(int32_t i, int32_t j) const { return tableau(i, j); }
    Real inverse(int32_t i, int32_t k) const { return m_inv[index(i, k)]; }
    Real& inverse(int32_t i, int32_t k) { return m_inv[index(i, k)]; }
    // Column k of the inverse table, rows 0..M+2 (row 0 unused).
    Real* inverseColumn(int32_t k) { return m_inv.data() + static_cast<size_t>(k) * m_stride; }
    const Real* inverseColumn(int32_t k) const {
        return m_inv.data() + static_cast<size_t>(k) * m_stride;
    }
    Real objectiveCoefficient(int32_t j) const { return m_cost[static_cast<size_t>(j)]; }

    // Structural column j (1..N): its nonzeros in rows 1..M, ascending. The values are kept
    // as double when every one of them converts exactly (the usual case), which halves the
    // memory and its traffic; the arithmetic stays extended either way.
    struct ColumnView {
        const int32_t* rows;
        const double* valuesD; // when valuesAreDouble()
        const Real* values;    // otherwise
        int32_t count;
        Real value(int32_t t) const { return valuesD ? Real(valuesD[t]) : values[t]; }
    };
    ColumnView column(int32_t j) const;
    // The same nonzeros by rows (row i = 1..M: its columns ascending), for pricing, which
    // visits only the rows whose multiplier is not zero.
    struct RowView {
        const int32_t* columns;
        const double* valuesD; // when valuesAreDouble()
        const Real* values;    // otherwise
        int32_t count;
    };
    RowView row(int32_t i) const;
    bool valuesAreDouble() const { return m_double; }
    int64_t nonzeroCount() const { return static_cast<int64_t>(m_rowColumns.size()); }

    // Working data (indices as in the comments; index 0 unused where it says so).
    std::vector<int32_t> basis;    // rows 1..M: the column basic in the row
    std::vector<int32_t> basic;    // columns 0..phase-1 column count: 1 when basic
    std::vector<Real> pricing;     // columns 0..phase-1 column count: reduced costs
    std::vector<Real> transformed; // rows 0..M+2
    std::vector<Real> solution;    // columns 0..phase-1 column count
    std::vector<Real> initialRhs;  // rows 0..M

    // Solve state.
    int32_t phase1 = 0, currentObjectiveRow = 0, pass = 0, entering = 0, leaving = 0;
    Real pivotElement = 0;

    // The kind of constraint row i.
    bool isGreaterRow(int32_t i) const { return i <= G; }
    bool isEqualRow(int32_t i) const { return i > G && i <= G + E; }
    bool isLessRow(int32_t i) const { return i > G + E; }
    // The column of constraint row i's surplus or slack, 0 for an "=" row.
    int32_t ownExtraColumn(int32_t i) const {
        if (isGreaterRow(i)) return N + i;
        if (isLessRow(i)) return N + i - E;
        return 0;
    }
    // The artificial column of a ">=" or "=" row i.
    int32_t artificialColumn(int32_t i) const { return phase2Columns + i; }
    bool isArtificialColumn(int32_t j) const { return j > phase2Columns; }
    // A surplus, slack or artificial column j (N < j <= phase-1 column count) has one entry
    // among the constraint rows: -1 (surplus) or +1 (slack, artificial) in its own row. An
    // artificial column also has +1 in the artificial objective row.
    struct UnitColumn {
        int32_t row;
        int32_t sign;
    };
    UnitColumn unitColumn(int32_t j) const {
        if (j <= N + G) return {j - N, -1};
        if (j <= phase2Columns) return {j - N + E, 1};
        return {j - phase2Columns, 1};
    }

private:
    size_t index(int32_t i, int32_t k) const {
        return static_cast<size_t>(k) * m_stride + static_cast<size_t>(i);
    }
    void packColumns();

    size_t m_stride = 0;      // rows per inverse column: M+3
    std::vector<Real> m_inv;  // column-major, columns 0..M+2
    std::vector<Real> m_cost; // C[j], j = 0..N
    std::vector<Real> m_rhs;  // tableau column 0, rows 0..M

    // The exact values, by i·(N+1) + j.
    std::unordered_map<int64_t, text::ExactNumber> m_exact;
    bool m_exactRounded = false;

    // The structural nonzeros. Loaders go row by row, so they are collected by rows (row
    // index, column, value) and the column copy is made once the load is done.
    std::vector<int32_t> m_loadRows;
    bool m_loadSorted = true;
    bool m_packed = true;
    bool m_double = true;
    std::vector<int64_t> m_rowStart; // M+2 entries
    std::vector<int32_t> m_rowColumns;
    std::vector<double> m_rowValuesD;
    std::vector<Real> m_rowValues;
    std::vector<int64_t> m_start; // N+2 entries
    std::vector<int32_t> m_rows;
    std::vector<double> m_valuesD;
    std::vector<Real> m_values;
};

} // namespace kvado
