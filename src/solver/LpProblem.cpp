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

    for (auto* v : {&m_loadRows, &m_rowColumns, &m_rows})
        std::vector<int32_t>().swap(*v);
    for (auto* v : {&m_rowValuesD, &m_valuesD})
        std::vector<double>().swap(*v);
    for (auto* v : {&m_rowValues, &m_values})
        std::vector<Real>().swap(*v);
    m_start.assign(static_cast<size_t>(N) + 2, 0);
    m_rowStart.assign(static_cast<size_t>(M) + 2, 0);
    m_loadSorted = true;
    m_double = true;
    m_packed = false;
    m_exact.clear();
    m_exactRounded = false;
    phase1 = currentObjectiveRow = pass = entering = leaving = 0;
    pivotElement = 0;
}

void LpProblem::setExact(int32_t i, int32_t j, text::ExactNumber x) {
    if (x.empty()) {
        if (!m_exact.empty()) m_exact.erase(static_cast<int64_t>(i) * (N + 1) + j);
        return;
    }
    if (x.rounded()) m_exactRounded = true;
    m_exact[static_cast<int64_t>(i) * (N + 1) + j] = std::move(x);
}

const text::ExactValue* LpProblem::exact(int32_t i, int32_t j) const {
    if (m_exact.empty()) return nullptr;
    const auto it = m_exact.find(static_cast<int64_t>(i) * (N + 1) + j);
    return it == m_exact.end() ? nullptr : it->second.get();
}

void LpProblem::setCoefficient(int32_t i, int32_t j, Real a) {
    if (a == 0) return;
    if (!m_loadRows.empty()) {
        const int32_t li = m_loadRows.back(), lj = m_rowColumns.back();
        if (i < li || (i == li && j <= lj)) m_loadSorted = false;
    }
    if (m_double && static_cast<Real>(static_cast<double>(a)) != a) {
        // The first value that double cannot hold exactly: keep everything extended.
        m_rowValues.assign(m_rowValuesD.begin(), m_rowValuesD.end());
        std::vector<double>().swap(m_rowValuesD);
        m_double = false;
    }
    m_loadRows.push_back(i);
    m_rowColumns.push_back(j);
    if (m_double)
        m_rowValuesD.push_back(static_cast<double>(a));
    else
        m_rowValues.push_back(a);
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
        basis[static_cast<size_t>(i)] = artificialColumn(i);
    } else {
        inverse(i, i) = 1;
        basis[static_cast<size_t>(i)] = ownExtraColumn(i);
    }
    m_rhs[static_cast<size_t>(i)] = b;
    inverse(i, 0) = b;
}

namespace {

template <typename T> void permute(std::vector<T>& v, const std::vector<size_t>& order) {
    std::vector<T> out;
    out.reserve(order.size());
    for (const size_t k : order)
        out.push_back(v[k]);
    v.swap(out);
}

} // namespace

void LpProblem::packColumns() {
    if (m_packed) return;
    if (!m_loadSorted) {
        // Out of order or repeated cells (no loader of ours does that): order by (row,
        // column), a later value for the same cell replacing the earlier one.
        std::vector<size_t> order(m_loadRows.size());
        for (size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
            return std::pair(m_loadRows[x], m_rowColumns[x]) <
                   std::pair(m_loadRows[y], m_rowColumns[y]);
        });
        std::vector<size_t> kept;
        for (size_t k = 0; k < order.size(); ++k) {
            if (k + 1 < order.size() && m_loadRows[order[k]] == m_loadRows[order[k + 1]] &&
                m_rowColumns[order[k]] == m_rowColumns[order[k + 1]])
                continue;
            kept.push_back(order[k]);
        }
        permute(m_loadRows, kept);
        permute(m_rowColumns, kept);
        if (m_double)
            permute(m_rowValuesD, kept);
        else
            permute(m_rowValues, kept);
        m_loadSorted = true;
    }
    const size_t total = m_loadRows.size();
    m_rowStart.assign(static_cast<size_t>(M) + 2, 0);
    for (const int32_t i : m_loadRows)
        ++m_rowStart[static_cast<size_t>(i) + 1];
    for (size_t i = 1; i < m_rowStart.size(); ++i)
        m_rowStart[i] += m_rowStart[i - 1];

    // The column copy, by counting sort over the columns: rows stay ascending in a column.
    m_start.assign(static_cast<size_t>(N) + 2, 0);
    for (const int32_t j : m_rowColumns)
        ++m_start[static_cast<size_t>(j) + 1];
    for (size_t j = 1; j < m_start.size(); ++j)
        m_start[j] += m_start[j - 1];
    std::vector<int64_t> next(m_start.begin(), m_start.end());
    m_rows.assign(total, 0);
    if (m_double)
        m_valuesD.assign(total, 0);
    else
        m_values.assign(total, 0);
    for (size_t t = 0; t < total; ++t) {
        const auto pos = static_cast<size_t>(next[static_cast<size_t>(m_rowColumns[t])]++);
        m_rows[pos] = m_loadRows[t];
        if (m_double)
            m_valuesD[pos] = m_rowValuesD[t];
        else
            m_values[pos] = m_rowValues[t];
    }
    std::vector<int32_t>().swap(m_loadRows);
    m_packed = true;
}

void LpProblem::takeSnapshots() {
    packColumns();
    for (int32_t i = 1; i <= M; ++i)
        initialRhs[static_cast<size_t>(i)] = inverse(i, 0);
}

LpProblem::ColumnView LpProblem::column(int32_t j) const {
    const auto b = static_cast<size_t>(m_start[static_cast<size_t>(j)]);
    const auto e = static_cast<size_t>(m_start[static_cast<size_t>(j) + 1]);
    return {m_rows.data() + b, m_double ? m_valuesD.data() + b : nullptr,
            m_double ? nullptr : m_values.data() + b, static_cast<int32_t>(e - b)};
}

LpProblem::RowView LpProblem::row(int32_t i) const {
    const auto b = static_cast<size_t>(m_rowStart[static_cast<size_t>(i)]);
    const auto e = static_cast<size_t>(m_rowStart[static_cast<size_t>(i) + 1]);
    return {m_rowColumns.data() + b, m_double ? m_rowValuesD.data() + b : nullptr,
            m_double ? nullptr : m_rowValues.data() + b, static_cast<int32_t>(e - b)};
}

Real LpProblem::tableau(int32_t i, int32_t j) const {
    if (j == 0) return i <= M ? m_rhs[static_cast<size_t>(i)] : 0;
    if (j <= N) {
        if (i == objectiveRow) return m_cost[static_cast<size_t>(j)];
        if (i > M) return 0;
        if (!m_packed) {
            // During a load: the latest value set for the cell.
            Real v = 0;
            for (size_t t = 0; t < m_loadRows.size(); ++t)
                if (m_loadRows[t] == i && m_rowColumns[t] == j)
                    v = m_double ? Real(m_rowValuesD[t]) : m_rowValues[t];
            return v;
        }
        const auto col = column(j);
        const auto* end = col.rows + col.count;
        const auto* it = std::lower_bound(col.rows, end, i);
        return (it != end && *it == i) ? col.value(static_cast<int32_t>(it - col.rows)) : 0;
    }
    if (j > phase1Columns) return 0;
    const UnitColumn u = unitColumn(j);
    if (i == u.row) return u.sign;
    return isArtificialColumn(j) && i == artificialObjectiveRow ? 1 : 0;
}

} // namespace kvado
