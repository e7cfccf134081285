#include "solver/LpProblem.h"

#include <algorithm>

namespace kvado {

void checkCounts(int64_t G, int64_t E, int64_t L, int64_t N) {
    if (G < 0 || E < 0 || L < 0 || N < 0)
        throw ProblemSizeError("a count of constraints or unknowns is negative");
    const int64_t M = G + E + L;
    if (M > ProblemLimits::maxRows)
        throw ProblemSizeError("too many constraints: " + std::to_string(M) + " (at most " +
                               std::to_string(ProblemLimits::maxRows) + ")");
    if (N > ProblemLimits::maxColumns)
        throw ProblemSizeError("too many unknowns: " + std::to_string(N) + " (at most " +
                               std::to_string(ProblemLimits::maxColumns) + ")");
    if (M * N > ProblemLimits::maxCells)
        throw ProblemSizeError("too many coefficients: " + std::to_string(M) + " x " +
                               std::to_string(N) + " (at most " +
                               std::to_string(ProblemLimits::maxCells) + ")");
}

void LpProblem::reset() {
    checkCounts(G, E, L, N);
    M = G + E + L;
    artificialRows = G + E;
    phase2Columns = N + G + L;
    phase1Columns = phase2Columns + G + E;
    objectiveRow = M + 1;
    artificialObjectiveRow = M + 2;
    activeColumns = phase2Columns;

    const auto rows = static_cast<size_t>(M) + 3;
    const auto cols = static_cast<size_t>(phase1Columns) + 1;
    m_stride = rows;
    m_inv.assign(rows * rows, 0);
    transformed.assign(rows, 0);
    pricing.assign(cols, 0);
    basic.assign(cols, 0);
    solution.assign(cols, 0);
    m_cost.assign(static_cast<size_t>(N) + 1, 0);
    m_rhs.assign(static_cast<size_t>(M) + 1, 0);
    // The basis list, the initial right-hand sides and the check copy are left to the load;
    // they are sized here so that every index the load uses exists.
    basis.resize(static_cast<size_t>(M) + 1, 0);
    initialRhs.resize(static_cast<size_t>(M) + 1, 0);
    rowActivity.assign(static_cast<size_t>(M) + 1, 0);
    slackFlags.assign(static_cast<size_t>(M) + 1, 0);

    m_loading.assign(static_cast<size_t>(N) + 1, {});
    m_start.assign(static_cast<size_t>(N) + 2, 0);
    m_rows.clear();
    m_values.clear();
    m_rowStart.assign(static_cast<size_t>(M) + 2, 0);
    m_rowColumns.clear();
    m_rowValuesD.clear();
    m_rowValues.clear();
    m_packed = false;
    phase1 = currentObjectiveRow = pass = entering = leaving = 0;
    pivotElement = 0;
}

void LpProblem::setCoefficient(int32_t i, int32_t j, Real a) {
    if (a == 0) return;
    auto& col = m_loading[static_cast<size_t>(j)];
    // Loaders go row by row; a second value for the same cell replaces the first.
    if (!col.empty() && col.back().first == i) {
        col.back().second = a;
        return;
    }
    col.emplace_back(i, a);
    if (col.size() > 1 && col[col.size() - 2].first > i)
        std::sort(col.begin(), col.end(),
                  [](const auto& x, const auto& y) { return x.first < y.first; });
    m_packed = false;
}

void LpProblem::setObjective(int32_t j, Real c) {
    m_cost[static_cast<size_t>(j)] = c;
}

void LpProblem::setRightHandSide(int32_t i, Real b) {
    if (i <= G + E) {
        // ">=" and "=" rows start with their artificial variable in the basis; the surplus
        // column of a ">=" row is implied by the counts.
        inverse(artificialObjectiveRow, i) = -1;
        inverse(i, i) = 1;
        basis[static_cast<size_t>(i)] = phase2Columns + i;
    } else {
        inverse(i, i) = 1;
        basis[static_cast<size_t>(i)] = N + i - E;
    }
    m_rhs[static_cast<size_t>(i)] = b;
    inverse(i, 0) = b;
}

void LpProblem::packColumns() {
    if (m_packed) return;
    size_t total = 0;
    for (const auto& col : m_loading)
        total += col.size();
    m_rows.clear();
    m_values.clear();
    m_rows.reserve(total);
    m_values.reserve(total);
    m_start.assign(static_cast<size_t>(N) + 2, 0);
    for (int32_t j = 1; j <= N; ++j) {
        m_start[static_cast<size_t>(j)] = static_cast<int64_t>(m_rows.size());
        for (const auto& [i, a] : m_loading[static_cast<size_t>(j)]) {
            m_rows.push_back(i);
            m_values.push_back(a);
        }
    }
    m_start[static_cast<size_t>(N) + 1] = static_cast<int64_t>(m_rows.size());
    m_loading.assign(static_cast<size_t>(N) + 1, {});
    m_loading.shrink_to_fit();
    m_packed = true;

    // The row-wise copy, by counting sort over the rows: ascending columns within a row.
    m_rowsAreDouble = true;
    for (const Real a : m_values)
        if (static_cast<Real>(static_cast<double>(a)) != a) m_rowsAreDouble = false;
    m_rowStart.assign(static_cast<size_t>(M) + 2, 0);
    for (const int32_t i : m_rows)
        ++m_rowStart[static_cast<size_t>(i) + 1];
    for (int32_t i = 1; i <= M; ++i)
        m_rowStart[static_cast<size_t>(i) + 1] += m_rowStart[static_cast<size_t>(i)];
    m_rowColumns.assign(total, 0);
    m_rowValuesD.assign(m_rowsAreDouble ? total : 0, 0);
    m_rowValues.assign(m_rowsAreDouble ? 0 : total, 0);
    std::vector<int64_t> next(m_rowStart.begin(), m_rowStart.end());
    for (int32_t j = 1; j <= N; ++j) {
        for (auto t = m_start[static_cast<size_t>(j)]; t < m_start[static_cast<size_t>(j) + 1];
             ++t) {
            const auto pos =
                static_cast<size_t>(next[static_cast<size_t>(m_rows[static_cast<size_t>(t)])]++);
            m_rowColumns[pos] = j;
            if (m_rowsAreDouble)
                m_rowValuesD[pos] = static_cast<double>(m_values[static_cast<size_t>(t)]);
            else
                m_rowValues[pos] = m_values[static_cast<size_t>(t)];
        }
    }
}

LpProblem::RowView LpProblem::row(int32_t i) const {
    const auto b = static_cast<size_t>(m_rowStart[static_cast<size_t>(i)]);
    const auto e = static_cast<size_t>(m_rowStart[static_cast<size_t>(i) + 1]);
    return {m_rowColumns.data() + b, m_rowsAreDouble ? m_rowValuesD.data() + b : nullptr,
            m_rowsAreDouble ? nullptr : m_rowValues.data() + b, static_cast<int32_t>(e - b)};
}

void LpProblem::takeSnapshots() {
    packColumns();
    for (int32_t i = 1; i <= M; ++i)
        initialRhs[static_cast<size_t>(i)] = inverse(i, 0);
}

LpProblem::ColumnView LpProblem::column(int32_t j) const {
    const auto b = m_start[static_cast<size_t>(j)];
    const auto e = m_start[static_cast<size_t>(j) + 1];
    return {m_rows.data() + b, m_values.data() + b, static_cast<int32_t>(e - b)};
}

Real LpProblem::tableau(int32_t i, int32_t j) const {
    if (j == 0) return i <= M ? m_rhs[static_cast<size_t>(i)] : 0;
    if (j <= N) {
        if (i == objectiveRow) return m_cost[static_cast<size_t>(j)];
        if (i > M) return 0;
        if (!m_packed) {
            for (const auto& [r, a] : m_loading[static_cast<size_t>(j)])
                if (r == i) return a;
            return 0;
        }
        const auto col = column(j);
        const auto* end = col.rows + col.count;
        const auto* it = std::lower_bound(col.rows, end, i);
        return (it != end && *it == i) ? col.values[it - col.rows] : 0;
    }
    if (j <= N + G) return i == j - N ? -1 : 0;            // surplus of ">=" row j-N
    if (j <= phase2Columns) return i == j - N + E ? 1 : 0; // slack of "<=" row j-N+E
    if (j <= phase1Columns) {
        const int32_t row = j - phase2Columns; // artificial of row j-(N+G+L)
        return (i == row || i == artificialObjectiveRow) ? 1 : 0;
    }
    return 0;
}

} // namespace kvado
