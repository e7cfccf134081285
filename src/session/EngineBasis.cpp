#include "session/EngineBasis.h"

#include <algorithm>
#include <cmath>

#include "model/ModelIo.h"
#include "solver/Simplex.h"
#include "solver/TraceLog.h"

namespace kvado::session {

namespace {

using engine::BasisStatus;
using ColumnKind = model::StandardForm::ColumnKind;

size_t at(int32_t k) {
    return static_cast<size_t>(k);
}

// The basic columns `isBasic` (the record's numbering, 1..phase-1 columns) laid into `p` with
// the values `value` of every column: each row's own surplus, slack or artificial column in its
// row, the rest in the rows left in order, and a row that no basic column covers given its own
// unit column (a basic fixed column of the model, a basic "=" row, leave one short). False when
// more columns are basic than there are rows.
bool layBasis(LpProblem& p, std::vector<char> isBasic, const std::vector<Real>& value,
              bool phase1) {
    const int32_t M = p.M, n1 = p.phase1Columns;
    auto ownUnit = [&](int32_t i) { // the unit column of row i for a filler
        const int32_t own = p.ownExtraColumn(i);
        return own != 0 ? own : p.artificialColumn(i);
    };
    int32_t count = 0;
    std::vector<char> covered(at(M) + 1, 0);
    for (int32_t j = 1; j <= n1; ++j) {
        if (!isBasic[at(j)]) continue;
        ++count;
        if (j > p.N) covered[at(p.unitColumn(j).row)] = 1;
    }
    for (int32_t i = 1; i <= M && count < M; ++i)
        if (!covered[at(i)] && !isBasic[at(ownUnit(i))]) isBasic[at(ownUnit(i))] = 1, ++count;
    if (count != M) return false;

    std::vector<int32_t> basis(at(M) + 1, 0);
    for (int32_t j = p.N + 1; j <= n1; ++j)
        if (isBasic[at(j)] && basis[at(p.unitColumn(j).row)] == 0)
            basis[at(p.unitColumn(j).row)] = j;
    int32_t free = 1;
    for (int32_t j = 1; j <= n1; ++j) {
        if (!isBasic[at(j)] || (j > p.N && basis[at(p.unitColumn(j).row)] == j)) continue;
        while (basis[at(free)] != 0)
            ++free;
        basis[at(free)] = j;
    }
    p.basis = basis;
    p.basic.assign(at(n1) + 1, 0);
    p.solution.assign(at(n1) + 1, 0);
    Real z = 0, w = 0;
    for (int32_t j = 1; j <= n1; ++j) {
        if (!isBasic[at(j)]) continue;
        p.basic[at(j)] = 1;
        p.solution[at(j)] = value[at(j)];
        if (j <= p.N) z += p.objectiveCoefficient(j) * value[at(j)];
        if (p.isArtificialColumn(j)) w += value[at(j)];
    }
    for (int32_t r = 1; r <= M; ++r)
        p.inverse(r, 0) = p.solution[at(basis[at(r)])];
    p.inverse(M + 1, 0) = -z;
    p.inverse(M + 2, 0) = -w;
    p.phase1 = phase1 ? 1 : 0;
    p.currentObjectiveRow = M + 1 + p.phase1;
    p.entering = 0;
    return true;
}

// Every column's value in the record from the structural values `x` (1..N): the surplus and
// slack of each row from its activity, an artificial column the residue of its "=" row.
std::vector<Real> columnValues(const LpProblem& p, std::vector<Real> x) {
    x.resize(at(p.phase1Columns) + 1, 0);
    for (int32_t i = 1; i <= p.M; ++i) {
        const auto r = p.row(i);
        Real act = 0;
        for (int32_t t = 0; t < r.count; ++t)
            act += (r.valuesD ? Real(r.valuesD[t]) : r.values[t]) * x[at(r.columns[t])];
        const Real b = p.tableau(i, 0);
        if (p.isGreaterRow(i)) x[at(p.ownExtraColumn(i))] = std::max<Real>(act - b, 0);
        if (p.isLessRow(i)) x[at(p.ownExtraColumn(i))] = std::max<Real>(b - act, 0);
        if (p.isEqualRow(i)) x[at(p.artificialColumn(i))] = std::fabs(b - act);
    }
    return x;
}

// Whether half h of a model row (a standard row made from it, with the sign it was multiplied
// by) stands for the row's lower bound.
bool lowerHalf(const LpProblem& p, int32_t i, int sign) {
    return p.isGreaterRow(i) == (sign == 1);
}

// The standard form of `p` solved by the engine as a model of its own (its columns >= 0, its
// rows with their relations); an unbounded answer's basis and the column along whose ray the
// objective falls laid into `p`. False for any other answer.
bool standardRay(LpProblem& p) {
    model::Model sm;
    sm.columns.resize(at(p.N));
    for (int32_t j = 1; j <= p.N; ++j)
        sm.columns[at(j - 1)].cost = p.objectiveCoefficient(j);
    for (int32_t i = 1; i <= p.M; ++i) {
        const Real b = p.tableau(i, 0);
        sm.rows.push_back(p.isGreaterRow(i) ? model::greaterRow({}, b)
                          : p.isEqualRow(i) ? model::equalRow({}, b)
                                            : model::lessRow({}, b));
        const auto r = p.row(i);
        for (int32_t t = 0; t < r.count; ++t)
            sm.entries.push_back(
                {i - 1, r.columns[t] - 1, r.valuesD ? Real(r.valuesD[t]) : r.values[t], {}});
    }
    engine::SparseOptions options;
    options.method = engine::SparseOptions::Method::Primal;
    options.presolve = false;
    const engine::SparseAnswer a = engine::solveSparse(sm, options);
    if (a.status != engine::SparseStatus::Unbounded || a.unboundedVariable < 0) return false;
    std::vector<char> isBasic(at(p.phase1Columns) + 1, 0);
    std::vector<Real> x(at(p.N) + 1, 0);
    for (int32_t j = 1; j <= p.N; ++j) {
        isBasic[at(j)] = a.columnStatus[at(j - 1)] == BasisStatus::Basic;
        x[at(j)] = std::max<Real>(a.columnValue[at(j - 1)], 0);
    }
    for (int32_t i = 1; i <= p.M; ++i)
        if (a.rowStatus[at(i - 1)] == BasisStatus::Basic)
            isBasic[at(p.isEqualRow(i) ? p.artificialColumn(i) : p.ownExtraColumn(i))] = 1;
    if (!layBasis(p, isBasic, columnValues(p, x), false)) return false;
    const int64_t k = a.unboundedVariable;
    const int32_t s =
        k < p.M ? p.ownExtraColumn(static_cast<int32_t>(k) + 1) : static_cast<int32_t>(k - p.M) + 1;
    if (s < 1 || s > p.phase2Columns || p.basic[at(s)] == 1) return false;
    p.entering = s;
    return true;
}

// The host of a phase-1 solve by the method: silent, stopped by `stop`.
class StopHost : public SolverHost {
public:
    explicit StopHost(const std::function<bool()>& stop) : m_stop(stop) {}
    bool stopRequested() override { return m_stop && m_stop(); }

private:
    const std::function<bool()>& m_stop;
};

} // namespace

std::unique_ptr<EngineRecord> engineRecord(const model::Model& m, const engine::SparseAnswer& a,
                                           std::string& why) {
    auto r = std::make_unique<EngineRecord>();
    try {
        r->standard = model::toStandardForm(m);
    } catch (const ProblemSizeError&) {
        why = "задача велика для стандартной формы программы";
        return nullptr;
    }
    const model::StandardForm& sf = r->standard;
    if (!sf.infeasible.empty()) {
        why = sf.infeasible;
        return nullptr;
    }
    LpProblem& p = r->problem;
    model::loadProblem(sf, model::kModelEps, p);
    p.pass = static_cast<int32_t>(std::min<int64_t>(a.iterations, INT32_MAX));
    if (a.status == engine::SparseStatus::Infeasible) {
        r->outcome = enginePhase1(p);
        if (r->outcome != SolveOutcome::Infeasible) {
            why = r->outcome == SolveOutcome::Optimal
                      ? "первая фаза стандартной формы нашла допустимую точку"
                      : "первая фаза стандартной формы не решена";
            return nullptr;
        }
        return r;
    }
    if (a.status != engine::SparseStatus::Optimal && a.status != engine::SparseStatus::Unbounded) {
        why = "у решения нет базиса";
        return nullptr;
    }
    if (a.status == engine::SparseStatus::Unbounded) {
        // A ray of the model need not be one of the standard form from the same basis: a basic
        // free column that changes its sign along it is two columns there, each >= 0. The
        // standard form itself solved by the engine gives a basis and a ray of its own.
        r->outcome = SolveOutcome::Unbounded;
        if (standardRay(p)) return r;
        why = "луч решения не переносится на стандартную форму";
        return nullptr;
    }
    r->outcome = SolveOutcome::Optimal;
    std::vector<char> isBasic(at(p.phase1Columns) + 1, 0);
    std::vector<Real> x(at(p.N) + 1, 0);
    for (size_t c = 0; c < m.columns.size(); ++c) {
        const auto& map = sf.columnMap[c];
        const BasisStatus st = a.columnStatus[c];
        const Real v = a.columnValue[c];
        const int32_t j = map.column + 1;
        switch (map.kind) {
        case ColumnKind::Shifted:
            x[at(j)] = std::max<Real>(v - map.shift, 0);
            isBasic[at(j)] = st == BasisStatus::Basic || st == BasisStatus::AtUpper;
            if (map.boundRow >= 0)
                isBasic[at(p.ownExtraColumn(map.boundRow + 1))] = st != BasisStatus::AtUpper;
            break;
        case ColumnKind::Mirrored:
            x[at(j)] = std::max<Real>(map.shift - v, 0);
            isBasic[at(j)] = st == BasisStatus::Basic;
            break;
        case ColumnKind::Free:
            x[at(j)] = std::max<Real>(v, 0);
            x[at(j + 1)] = std::max<Real>(-v, 0);
            if (st == BasisStatus::Basic) isBasic[at(v >= 0 ? j : j + 1)] = 1;
            break;
        case ColumnKind::Fixed:
            break;
        }
    }
    for (size_t u = 0; u < m.rows.size(); ++u) {
        const auto& map = sf.rowMap[u];
        const BasisStatus st = a.rowStatus[u];
        for (int h = 0; h < 2; ++h) {
            const int32_t i = map.row[h] + 1;
            if (i < 1) continue;
            if (p.isEqualRow(i)) {
                if (st == BasisStatus::Basic) isBasic[at(p.artificialColumn(i))] = 1;
                continue;
            }
            const bool binding = st == BasisStatus::Fixed ||
                                 (lowerHalf(p, i, map.sign[h]) ? st == BasisStatus::AtLower
                                                               : st == BasisStatus::AtUpper);
            isBasic[at(p.ownExtraColumn(i))] = !binding;
        }
    }
    if (!layBasis(p, isBasic, columnValues(p, x), false)) {
        why = "базис решения не переносится на стандартную форму";
        return nullptr;
    }
    return r;
}

bool layInverse(EngineRecord& r, std::string& why) {
    if (r.inverse) return true;
    LpProblem& p = r.problem;
    const int32_t M = p.M;
    if (M > kEngineInverseRows) {
        why = "задача велика: ограничений стандартной формы " + std::to_string(M) + ", предел " +
              std::to_string(kEngineInverseRows);
        return false;
    }
    // Unit columns in their own rows settle those rows; the rest (the kernel) is inverted
    // densely: B·v = e gives the kernel's values from the kernel rows alone, then each unit
    // row's value from what the kernel columns put into it.
    std::vector<int32_t> unitSign(at(M) + 1, 0); // row owned by its unit column: its sign
    std::vector<int32_t> kernelRows, kernelPositions;
    for (int32_t r0 = 1; r0 <= M; ++r0) {
        const int32_t j = p.basis[at(r0)];
        if (j > p.N && p.unitColumn(j).row == r0)
            unitSign[at(r0)] = p.unitColumn(j).sign;
        else
            kernelPositions.push_back(r0);
    }
    for (int32_t i = 1; i <= M; ++i)
        if (unitSign[at(i)] == 0) kernelRows.push_back(i);
    const auto k = kernelRows.size();
    if (k != kernelPositions.size()) {
        why = "базис вырожден";
        return false;
    }
    std::vector<int32_t> kernelIndex(at(M) + 1, -1);
    for (size_t q = 0; q < k; ++q)
        kernelIndex[at(kernelRows[q])] = static_cast<int32_t>(q);
    // Each kernel column's entries: (row, value).
    std::vector<std::vector<std::pair<int32_t, Real>>> cols(k);
    for (size_t c = 0; c < k; ++c) {
        const int32_t j = p.basis[at(kernelPositions[c])];
        if (j <= p.N) {
            const auto col = p.column(j);
            for (int32_t t = 0; t < col.count; ++t)
                cols[c].emplace_back(col.rows[t], col.value(t));
        } else {
            cols[c].emplace_back(p.unitColumn(j).row, Real(p.unitColumn(j).sign));
        }
    }
    // K (kernel rows x kernel columns), row-major, LU with partial pivoting, then K⁻¹.
    std::vector<Real> lu(k * k, 0), inv(k * k, 0);
    for (size_t c = 0; c < k; ++c)
        for (const auto& [i, v] : cols[c])
            if (kernelIndex[at(i)] >= 0) lu[at(kernelIndex[at(i)]) * k + c] = v;
    std::vector<size_t> perm(k);
    for (size_t q = 0; q < k; ++q)
        perm[q] = q;
    for (size_t c = 0; c < k; ++c) {
        size_t best = c;
        for (size_t q = c + 1; q < k; ++q)
            if (std::fabs(lu[q * k + c]) > std::fabs(lu[best * k + c])) best = q;
        if (std::fabs(lu[best * k + c]) < 1e-13L) {
            why = "матрица базиса вырождена";
            return false;
        }
        if (best != c) {
            std::swap_ranges(lu.begin() + static_cast<std::ptrdiff_t>(c * k),
                             lu.begin() + static_cast<std::ptrdiff_t>((c + 1) * k),
                             lu.begin() + static_cast<std::ptrdiff_t>(best * k));
            std::swap(perm[c], perm[best]);
        }
        const Real d = lu[c * k + c];
        for (size_t q = c + 1; q < k; ++q) {
            Real& f = lu[q * k + c];
            if (f == 0) continue;
            f /= d;
            for (size_t t = c + 1; t < k; ++t)
                lu[q * k + t] -= f * lu[c * k + t];
        }
    }
    std::vector<Real> y(k);
    for (size_t e = 0; e < k; ++e) { // column e of K⁻¹: K·v = unit vector e
        for (size_t q = 0; q < k; ++q)
            y[q] = perm[q] == e ? 1 : 0;
        for (size_t q = 0; q < k; ++q)
            for (size_t t = 0; t < q; ++t)
                if (lu[q * k + t] != 0) y[q] -= lu[q * k + t] * y[t];
        for (size_t q = k; q-- > 0;) {
            for (size_t t = q + 1; t < k; ++t)
                if (lu[q * k + t] != 0) y[q] -= lu[q * k + t] * y[t];
            y[q] /= lu[q * k + q];
        }
        for (size_t q = 0; q < k; ++q)
            inv[q * k + e] = y[q];
    }
    // The inverse table: columns 1..M of B⁻¹ at the positions, then the multiplier rows.
    std::vector<Real> costs(at(M) + 1, 0), artificial(at(M) + 1, 0);
    for (int32_t r0 = 1; r0 <= M; ++r0) {
        const int32_t j = p.basis[at(r0)];
        if (j <= p.N) costs[at(r0)] = p.objectiveCoefficient(j);
        if (p.isArtificialColumn(j)) artificial[at(r0)] = 1;
    }
    std::vector<Real> v(at(M) + 1);
    for (int32_t e = 0; e <= M + 2; ++e) {
        Real* out = p.inverseColumn(e);
        std::fill(out, out + M + 3, Real(0));
        if (e > M) {
            out[e] = 1;
            continue;
        }
        std::fill(v.begin(), v.end(), Real(0));
        // The right-hand side: e_e, or B itself for column 0.
        auto rhs = [&](int32_t i) { return e == 0 ? p.tableau(i, 0) : Real(i == e ? 1 : 0); };
        for (size_t c = 0; c < k; ++c) {
            Real s = 0;
            for (size_t q = 0; q < k; ++q)
                if (const Real b = rhs(kernelRows[q]); b != 0) s += inv[c * k + q] * b;
            v[at(kernelPositions[c])] = s;
        }
        std::vector<Real> unitRhs(at(M) + 1, 0);
        for (int32_t i = 1; i <= M; ++i)
            if (unitSign[at(i)] != 0) unitRhs[at(i)] = rhs(i);
        for (size_t c = 0; c < k; ++c) {
            const Real xc = v[at(kernelPositions[c])];
            if (xc == 0) continue;
            for (const auto& [i, a] : cols[c])
                if (unitSign[at(i)] != 0) unitRhs[at(i)] -= a * xc;
        }
        for (int32_t i = 1; i <= M; ++i)
            if (unitSign[at(i)] != 0) v[at(i)] = unitSign[at(i)] * unitRhs[at(i)];
        Real pi = 0, sigma = 0;
        for (int32_t r0 = 1; r0 <= M; ++r0) {
            out[r0] = v[at(r0)];
            pi -= costs[at(r0)] * v[at(r0)];
            sigma -= artificial[at(r0)] * v[at(r0)];
        }
        out[M + 1] = pi;
        out[M + 2] = sigma;
    }
    for (int32_t r0 = 1; r0 <= M; ++r0)
        p.solution[at(p.basis[at(r0)])] = p.inverse(r0, 0);
    r.inverse = true;
    return true;
}

SolveOutcome enginePhase1(LpProblem& p, const std::function<bool()>& stop) {
    // Every column of the record is a column of the phase-1 model, >= 0, and every row an
    // equation: A·x - surplus + artificial = B, and so on; only the artificial columns cost.
    model::Model aux;
    aux.columns.resize(at(p.phase1Columns));
    for (int32_t j = 1; j <= p.phase1Columns; ++j)
        aux.columns[at(j - 1)].cost = p.isArtificialColumn(j) ? 1 : 0;
    aux.rows.reserve(at(p.M));
    Real largest = 1;
    for (int32_t i = 1; i <= p.M; ++i) {
        aux.rows.push_back(model::equalRow({}, p.tableau(i, 0)));
        largest = std::max(largest, std::fabs(p.tableau(i, 0)));
        const auto r = p.row(i);
        for (int32_t t = 0; t < r.count; ++t)
            aux.entries.push_back(
                {i - 1, r.columns[t] - 1, r.valuesD ? Real(r.valuesD[t]) : r.values[t], {}});
    }
    for (int32_t j = p.N + 1; j <= p.phase1Columns; ++j)
        aux.entries.push_back({p.unitColumn(j).row - 1, j - 1, Real(p.unitColumn(j).sign), {}});
    engine::SparseOptions options;
    if (stop) options.stopRequested = stop;
    const engine::SparseAnswer a = engine::solveSparse(aux, options);
    if (a.status != engine::SparseStatus::Optimal) return SolveOutcome::Stopped;
    std::vector<char> isBasic(at(p.phase1Columns) + 1, 0);
    std::vector<Real> value(at(p.phase1Columns) + 1, 0);
    for (int32_t j = 1; j <= p.phase1Columns; ++j) {
        isBasic[at(j)] = a.columnStatus[at(j - 1)] == BasisStatus::Basic;
        value[at(j)] = std::max<Real>(a.columnValue[at(j - 1)], 0);
    }
    // A row whose (fixed) activity GLPK keeps basic stands for its own surplus or slack at 0,
    // which costs nothing as the activity does. An "=" row has none: its artificial would cost
    // 1 and the multipliers would no longer be GLPK's, so the method's phase 1 decides there.
    for (int32_t i = 1; i <= p.M; ++i) {
        if (a.rowStatus[at(i - 1)] != BasisStatus::Basic) continue;
        const int32_t own = p.ownExtraColumn(i);
        if (own == 0 || isBasic[at(own)]) {
            TraceLog log{TraceLog::Discard{}};
            StopHost host(stop);
            return solve(p, log, host);
        }
        isBasic[at(own)] = 1;
    }
    if (!layBasis(p, isBasic, value, true)) return SolveOutcome::Stopped;
    // GLPK's primal feasibility tolerance is relative, 1e-7 of a row's size.
    return a.objective > 1e-7L * largest ? SolveOutcome::Infeasible : SolveOutcome::Optimal;
}

analysis::ModelAnswer modelAnswerOf(const engine::SparseAnswer& a) {
    using engine::BasisStatus;
    analysis::ModelAnswer m;
    m.outcome = a.status == engine::SparseStatus::Optimal      ? SolveOutcome::Optimal
                : a.status == engine::SparseStatus::Infeasible ? SolveOutcome::Infeasible
                : a.status == engine::SparseStatus::Unbounded  ? SolveOutcome::Unbounded
                                                               : SolveOutcome::Stopped;
    m.objective = a.objective;
    m.columnValue = a.columnValue;
    auto marks = [](const std::vector<BasisStatus>& from) {
        std::vector<analysis::BasisMark> to;
        to.reserve(from.size());
        for (const BasisStatus b : from)
            to.push_back(b == BasisStatus::Basic     ? analysis::BasisMark::Basic
                         : b == BasisStatus::AtUpper ? analysis::BasisMark::AtUpper
                         : b == BasisStatus::Free    ? analysis::BasisMark::Free
                                                     : analysis::BasisMark::AtLower);
        return to;
    };
    m.columnStatus = marks(a.columnStatus);
    m.rowStatus = marks(a.rowStatus);
    return m;
}

} // namespace kvado::session
