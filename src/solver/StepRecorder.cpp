#include "solver/StepRecorder.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kvado {

void StepRecorder::begin(const LpProblem& p) {
    G = p.G;
    E = p.E;
    L = p.L;
    N = p.N;
    M = p.M;
    phase2Columns = p.phase2Columns;
    phase1Columns = p.phase1Columns;
    eps = p.eps;
    m_passes.clear();
    m_pendingRounds.clear();
    m_passCount = 0;
    m_detailed = 0;
    m_detailUsed = 0;
    m_detailOver = false;
    m_finalBasis.clear();
    m_finalValues.clear();
}

void StepRecorder::tieRound(const int32_t* rows, int32_t count, bool smallestNumber) {
    if (m_passCount >= m_limits.passes) return;
    m_pendingRounds.push_back({std::vector<int32_t>(rows, rows + count), smallestNumber});
}

void StepRecorder::pass(const LpProblem& p, bool smallestNumberRule, bool artificialLeft) {
    ++m_passCount;
    if (m_passCount > m_limits.passes) return;
    StepPass s;
    s.pass = p.pass;
    s.phase = p.phase1 != 0 ? 1 : 2;
    // Column 0 of an objective row holds minus the objective's value.
    s.objective = -p.inverse(p.currentObjectiveRow, 0);
    s.smallestNumberRule = smallestNumberRule;
    s.artificialLeft = artificialLeft;
    s.rounds = std::move(m_pendingRounds);
    m_pendingRounds.clear();
    s.entering = p.entering;
    const Real* t = p.transformed.data();
    if (s.entering != 0) s.reducedCost = p.pricing[static_cast<size_t>(s.entering)];
    if (p.leaving != 0) {
        const auto r = static_cast<size_t>(p.leaving);
        s.leavingRow = p.leaving;
        s.leavingColumn = p.basis[r];
        s.pivot = t[r];
        s.ratio = p.inverse(p.leaving, 0) / t[r];
    }
    // The detail: a basic column, its value, the column's entry and a ratio a row at most,
    // counted against the budget.
    const int64_t bytes =
        static_cast<int64_t>(M) *
        static_cast<int64_t>(sizeof(int32_t) + 2 * sizeof(Real) + sizeof(StepRatio));
    if (!m_detailOver && m_detailUsed + bytes <= m_limits.detailBytes) {
        m_detailUsed += bytes;
        ++m_detailed;
        s.detailed = true;
        s.basis.assign(p.basis.begin() + 1, p.basis.begin() + 1 + M);
        s.values.resize(static_cast<size_t>(M));
        for (int32_t i = 1; i <= M; ++i)
            s.values[static_cast<size_t>(i - 1)] = p.inverse(i, 0);
        if (s.entering != 0) {
            s.column.assign(t + 1, t + 1 + M);
            // The same division the ratio test made, so the same bits.
            for (int32_t i = 1; i <= M; ++i)
                if (t[i] > p.eps) s.ratios.push_back({i, p.inverse(i, 0) / t[i]});
        }
    } else {
        m_detailOver = true;
    }
    m_passes.push_back(std::move(s));
}

void StepRecorder::end(const LpProblem& p, SolveOutcome outcome) {
    m_outcome = outcome;
    m_finalBasis.assign(p.basis.begin() + 1, p.basis.begin() + 1 + M);
    m_finalValues.resize(static_cast<size_t>(M));
    for (int32_t i = 1; i <= M; ++i)
        m_finalValues[static_cast<size_t>(i - 1)] = p.inverse(i, 0);
}

int32_t StepRecorder::ownRow(int32_t j) const {
    if (j <= N + G) return j - N;
    if (j <= phase2Columns) return j - N + E;
    return j - phase2Columns;
}

namespace {

std::vector<Real> unknownsOf(const std::vector<int32_t>& basis, const std::vector<Real>& values,
                             int32_t N) {
    std::vector<Real> x(static_cast<size_t>(N), 0);
    for (size_t i = 0; i < basis.size(); ++i)
        if (basis[i] >= 1 && basis[i] <= N) x[static_cast<size_t>(basis[i] - 1)] = values[i];
    return x;
}

} // namespace

std::vector<Real> StepRecorder::unknowns(size_t k) const {
    const StepPass& s = m_passes.at(k);
    return unknownsOf(s.basis, s.values, N);
}

std::vector<StepPoint> StepRecorder::visits() const {
    std::vector<StepPoint> points;
    auto visit = [&](const std::vector<int32_t>& basis, const std::vector<Real>& values,
                     int32_t pass, int32_t phase) {
        bool feasible = true;
        for (size_t i = 0; i < basis.size(); ++i)
            if (isArtificial(basis[i]) && std::fabs(values[i]) > eps) feasible = false;
        std::vector<Real> x = unknownsOf(basis, values, N);
        if (!points.empty() && points.back().x == x) {
            points.back().feasible = points.back().feasible || feasible;
            return;
        }
        points.push_back({std::move(x), pass, phase, feasible});
    };
    for (const StepPass& s : m_passes)
        if (s.detailed) visit(s.basis, s.values, s.pass, s.phase);
    if (!m_finalBasis.empty())
        visit(m_finalBasis, m_finalValues, 0, m_passes.empty() ? 2 : m_passes.back().phase);
    return points;
}

std::vector<std::vector<Real>> StepRecorder::visitedPoints() const {
    std::vector<std::vector<Real>> points;
    for (StepPoint& v : visits())
        points.push_back(std::move(v.x));
    return points;
}

// --- names -----------------------------------------------------------------------------------

StepNames::StepNames(const StepRecorder& recording, Names names)
    : m_recording(recording), m_names(std::move(names)) {}

static bool blank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

std::string StepNames::row(int32_t i) const {
    const auto k = static_cast<size_t>(i - 1);
    if (i >= 1 && k < m_names.rows.size() && !blank(m_names.rows[k])) return m_names.rows[k];
    return std::to_string(i);
}

std::string StepNames::column(int32_t j) const {
    const StepRecorder& r = m_recording;
    if (j <= r.N) {
        const auto k = static_cast<size_t>(j - 1);
        if (j >= 1 && k < m_names.columns.size() && !blank(m_names.columns[k]))
            return m_names.columns[k];
        return "X[" + std::to_string(j) + "]";
    }
    const char* kind = r.isArtificial(j) ? "иск" : r.isSurplus(j) ? "изб" : "ост";
    return std::string(kind) + "(" + row(r.ownRow(j)) + ")";
}

void loadAgain(const LpProblem& solved, LpProblem& fresh) {
    fresh.G = solved.G;
    fresh.E = solved.E;
    fresh.L = solved.L;
    fresh.N = solved.N;
    fresh.eps = solved.eps;
    fresh.dataFileName = solved.dataFileName;
    fresh.reset();
    for (int32_t i = 1; i <= solved.M; ++i) {
        const LpProblem::RowView row = solved.row(i);
        for (int32_t t = 0; t < row.count; ++t)
            fresh.setCoefficient(i, row.columns[t],
                                 row.valuesD ? Real(row.valuesD[t]) : row.values[t]);
    }
    for (int32_t j = 1; j <= solved.N; ++j)
        fresh.setObjective(j, solved.objectiveCoefficient(j));
    for (int32_t i = 1; i <= solved.M; ++i)
        fresh.setRightHandSide(i, solved.initialRhs[static_cast<size_t>(i)]);
    fresh.takeSnapshots();
}

// --- the tableau for display ------------------------------------------------------------------

StepTableau stepTableau(const LpProblem& p, const std::vector<int32_t>& basis, int32_t phase) {
    StepTableau out;
    const int32_t M = p.M;
    const auto m = static_cast<size_t>(M);
    std::vector<char> isBasic(static_cast<size_t>(p.phase1Columns) + 1, 0);
    for (const int32_t j : basis)
        isBasic[static_cast<size_t>(j)] = 1;
    for (int32_t j = 1; j <= p.phase1Columns; ++j)
        if (phase == 1 || !p.isArtificialColumn(j) || isBasic[static_cast<size_t>(j)])
            out.columns.push_back(j);
    auto cost = [&](int32_t j) -> double {
        if (phase == 1) return p.isArtificialColumn(j) ? 1 : 0;
        return j <= p.N ? static_cast<double>(p.objectiveCoefficient(j)) : 0;
    };
    // [B | b | A] reduced by Gauss-Jordan elimination with partial pivoting: B becomes I, the
    // rest B^-1 b and B^-1 A.
    const size_t width = m + 1 + out.columns.size();
    std::vector<std::vector<double>> w(m, std::vector<double>(width, 0));
    for (size_t i = 0; i < m; ++i) {
        const auto row = static_cast<int32_t>(i) + 1;
        for (size_t k = 0; k < m; ++k)
            w[i][k] = static_cast<double>(p.tableau(row, basis[k]));
        w[i][m] = static_cast<double>(p.initialRhs[i + 1]);
        for (size_t c = 0; c < out.columns.size(); ++c)
            w[i][m + 1 + c] = static_cast<double>(p.tableau(row, out.columns[c]));
    }
    for (size_t k = 0; k < m; ++k) {
        size_t best = k;
        for (size_t i = k + 1; i < m; ++i)
            if (std::fabs(w[i][k]) > std::fabs(w[best][k])) best = i;
        if (std::fabs(w[best][k]) < 1e-300) {
            out.singular = true;
            return out;
        }
        std::swap(w[k], w[best]);
        const double d = w[k][k];
        for (double& v : w[k])
            v /= d;
        for (size_t i = 0; i < m; ++i) {
            if (i == k || w[i][k] == 0) continue;
            const double f = w[i][k];
            for (size_t c = 0; c < width; ++c)
                w[i][c] -= f * w[k][c];
        }
    }
    // Row i of the result belongs to the variable basic in row i (the elimination put B's
    // column i at unit position i).
    out.rows.assign(m, {});
    for (size_t i = 0; i < m; ++i)
        out.rows[i].assign(w[i].begin() + static_cast<std::ptrdiff_t>(m), w[i].end());
    out.reducedCosts.assign(out.columns.size() + 1, 0);
    double objective = 0;
    for (size_t i = 0; i < m; ++i)
        objective += cost(basis[i]) * out.rows[i][0];
    out.reducedCosts[0] = objective;
    for (size_t c = 0; c < out.columns.size(); ++c) {
        double d = cost(out.columns[c]);
        for (size_t i = 0; i < m; ++i)
            d -= cost(basis[i]) * out.rows[i][c + 1];
        out.reducedCosts[c + 1] = d;
    }
    return out;
}

} // namespace kvado
