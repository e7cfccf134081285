#include "analysis/ExactSolve.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "analysis/BasisCheck.h"
#include "analysis/ExactSimplex.h"
#include "analysis/QsoptRun.h"

namespace kvado::analysis {

namespace {

constexpr int32_t kPolishPivots = 200;
constexpr int32_t kFallbackPivots = 1000;

// The problem for QSopt_ex, exactly: columns >= 0, rows of their kind.
QsProblem qsProblem(const LpProblem& p, const Budget& budget) {
    QsProblem q;
    q.ncols = p.N;
    q.nrows = p.M;
    auto add = [&q](std::vector<mpq_class>& to, const Dyadic& x) {
        to.push_back(toRational(x));
        q.watch(to.back());
    };
    for (int32_t j = 1; j <= p.N; ++j) {
        if ((j & 255) == 0) budget.check();
        const auto col = p.column(j);
        q.begin.push_back(static_cast<int>(q.index.size()));
        int n = 0;
        for (int32_t t = 0; t < col.count; ++t) {
            const Dyadic a = exactCoefficient(p, col.rows[t], j, col.value(t));
            if (sign(a) == 0) continue;
            q.index.push_back(col.rows[t] - 1);
            add(q.value, a);
            ++n;
        }
        q.count.push_back(n);
        add(q.cost, exactCost(p, j));
    }
    for (int32_t i = 1; i <= p.M; ++i) {
        add(q.rhs, exactRhs(p, i));
        q.sense += p.isGreaterRow(i) ? 'G' : p.isEqualRow(i) ? 'E' : 'L';
    }
    return q;
}

// The method's basis as QSopt_ex's statuses, where it is one: a basic surplus, slack or
// artificial column is its row's logical variable.
bool startingBasis(const LpProblem& p, std::string& cstat, std::string& rstat) {
    cstat.assign(static_cast<size_t>(p.N), kQsAtLower);
    rstat.assign(static_cast<size_t>(p.M), kQsAtLower);
    if (static_cast<int32_t>(p.basis.size()) < p.M + 1) return false;
    for (int32_t r = 1; r <= p.M; ++r) {
        const int32_t j = p.basis[static_cast<size_t>(r)];
        if (j < 1 || j > p.phase1Columns) return false;
        char& s = j <= p.N ? cstat[static_cast<size_t>(j - 1)]
                           : rstat[static_cast<size_t>(p.unitColumn(j).row - 1)];
        if (s == kQsBasic) return false; // two columns of one row
        s = kQsBasic;
    }
    return true;
}

// QSopt_ex's final basis as a basis list in the problem's column numbering.
bool basisFrom(const LpProblem& p, const QsAnswer& a, std::vector<int32_t>& basis) {
    if (static_cast<int32_t>(a.cstat.size()) != p.N || static_cast<int32_t>(a.rstat.size()) != p.M)
        return false;
    basis.assign(static_cast<size_t>(p.M) + 1, 0);
    int32_t r = 0;
    for (int32_t i = 1; i <= p.M; ++i) {
        if (a.rstat[static_cast<size_t>(i - 1)] != kQsBasic) continue;
        if (++r > p.M) return false;
        basis[static_cast<size_t>(r)] =
            p.isEqualRow(i) ? p.artificialColumn(i) : p.ownExtraColumn(i);
    }
    for (int32_t j = 1; j <= p.N; ++j) {
        if (a.cstat[static_cast<size_t>(j - 1)] != kQsBasic) continue;
        if (++r > p.M) return false;
        basis[static_cast<size_t>(r)] = j;
    }
    return r == p.M;
}

// The exact solution of `basis`; true when it is feasible and optimal for the problem as
// written.
bool fillFrom(const LpProblem& p, const std::vector<int32_t>& basis, const Budget& budget, char sep,
              ExactSolution& out) {
    ExactBasis exact(p, basis, budget);
    if (exact.singular()) return false;
    const ScaledVector x = structuralValues(p, basis, exact.solve(rightHandSides(p)));
    const ScaledVector y = exact.solveTransposed(basisCosts(p, basis, false));
    const mpq_class z = objectiveOf(p, x);
    out.hasObjective = true;
    out.objectiveExact = fractionText(z);
    out.objectiveDecimal = numberText(z, sep);
    out.objective = toReal(z);
    for (int32_t j = 1; j <= p.N; ++j)
        out.x[static_cast<size_t>(j - 1)] = toReal(x.at(static_cast<size_t>(j)));
    for (int32_t i = 1; i <= p.M; ++i)
        out.pi[static_cast<size_t>(i - 1)] = -toReal(y.at(static_cast<size_t>(i)));
    return !primalFailure(p, x, sep, &budget) && !dualFailure(p, y, sep, &budget) &&
           dualObjectiveOf(p, y) == z;
}

// An optimal basis, solved and checked here; where it misses the optimum by a pivot or two
// those are made exactly.
void certify(const LpProblem& p, const std::vector<int32_t>& basis, const Budget& budget, char sep,
             ExactSolution& out) {
    out.verified = fillFrom(p, basis, budget, sep, out);
    if (out.verified) return;
    const Continuation c = continueExactly(p, basis, budget, kPolishPivots);
    if (c.status == Continuation::Status::Optimal) {
        out.verified = fillFrom(p, c.basis, budget, sep, out);
    } else if (c.status != Continuation::Status::Unknown) {
        out.status = c.status == Continuation::Status::Infeasible ? ExactStatus::Infeasible
                                                                  : ExactStatus::Unbounded;
        out.hasObjective = false;
        out.verified = true;
    }
}

// Fractions over one common denominator, entries 1..n.
ScaledVector scaled(const std::vector<mpq_class>& v) {
    ScaledVector out;
    out.num.assign(v.size() + 1, 0);
    for (const auto& q : v)
        out.den = lcm(out.den, q.get_den());
    for (size_t k = 0; k < v.size(); ++k)
        out.num[k + 1] = v[k].get_num() * (out.den / v[k].get_den());
    return out;
}

// Multipliers that prove "no feasible solution", in either sign convention.
bool certifiesInfeasible(const LpProblem& p, const std::vector<mpq_class>& y, const Budget& budget,
                         char sep) {
    if (static_cast<int32_t>(y.size()) != p.M) return false;
    ScaledVector v = scaled(y);
    mpq_class w;
    if (!farkasFailure(p, v, sep, w, &budget)) return true;
    for (auto& n : v.num)
        n = -n;
    return !farkasFailure(p, v, sep, w, &budget);
}

// The rays of the problem, normalised, as a problem of the same form: minimise C·d over A·d of
// every row's sense against 0, d >= 0, and C·d >= -1 (a ">=" row after the others of its kind).
// Its optimum is -1 exactly when Z falls without end along some ray of the problem.
void loadRayProblem(const LpProblem& p, LpProblem& r) {
    r.G = p.G + 1;
    r.E = p.E;
    r.L = p.L;
    r.N = p.N;
    r.eps = p.eps;
    r.reset();
    const int32_t extra = p.G + 1;
    auto rowOf = [&](int32_t i) { return i <= p.G ? i : i + 1; };
    std::vector<std::vector<std::pair<int32_t, Real>>> rows(static_cast<size_t>(p.M) + 2);
    for (int32_t j = 1; j <= p.N; ++j) {
        const auto col = p.column(j);
        for (int32_t t = 0; t < col.count; ++t)
            rows[static_cast<size_t>(rowOf(col.rows[t]))].emplace_back(j, col.value(t));
        if (p.objectiveCoefficient(j) != 0)
            rows[static_cast<size_t>(extra)].emplace_back(j, p.objectiveCoefficient(j));
    }
    for (int32_t i = 1; i <= r.M; ++i)
        for (const auto& [j, v] : rows[static_cast<size_t>(i)]) {
            r.setCoefficient(i, j, v);
            const int32_t from = i == extra ? p.M + 1 : (i <= p.G ? i : i - 1);
            if (const Dyadic* x = p.exact(from, j)) r.setExact(i, j, text::ExactNumber::of(*x, v));
        }
    for (int32_t j = 1; j <= p.N; ++j) {
        r.setObjective(j, p.objectiveCoefficient(j));
        if (const Dyadic* x = p.exact(p.M + 1, j))
            r.setExact(r.M + 1, j, text::ExactNumber::of(*x, p.objectiveCoefficient(j)));
    }
    for (int32_t i = 1; i <= r.M; ++i)
        r.setRightHandSide(i, i == extra ? -1 : 0);
    r.takeSnapshots();
}

// The exact values of the structural columns at an optimal basis the solver found for `p`.
std::optional<ScaledVector> optimalPoint(const LpProblem& p, const QsProblem& q,
                                         const Budget& budget) {
    const QsAnswer a = runQsopt(q, {}, budget);
    std::vector<int32_t> basis;
    if (!a.ran || a.status != kQsOptimal || !basisFrom(p, a, basis)) return std::nullopt;
    ExactBasis B(p, basis, budget);
    if (B.singular()) return std::nullopt;
    return structuralValues(p, basis, B.solve(rightHandSides(p)));
}

// An unbounded objective, proved: a feasible point and a ray along which Z falls, each found by
// the solver and checked here.
bool certifiesUnbounded(const LpProblem& p, const QsProblem& q, const Budget& budget, char sep) {
    QsProblem feasibility = q;
    for (auto& c : feasibility.cost)
        c = 0;
    const auto point = optimalPoint(p, feasibility, budget);
    if (!point || primalFailure(p, *point, sep, &budget)) return false;
    LpProblem r;
    loadRayProblem(p, r);
    const auto ray = optimalPoint(r, qsProblem(r, budget), budget);
    return ray && !rayFailure(p, *ray, sep, &budget);
}

} // namespace

ExactSolution exactSolve(const LpProblem& p, const Budget& budget, char separator, bool warmStart) {
    ExactSolution out;
    const auto started = std::chrono::steady_clock::now();
    auto finish = [&]() {
        out.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (out.dataRounded && out.message.empty()) out.message = roundedDataText();
        return out;
    };
    out.dataRounded = p.exactRounded();
    out.x.assign(static_cast<size_t>(p.N), 0);
    out.pi.assign(static_cast<size_t>(p.M), 0);
    try {
        QsProblem q = qsProblem(p, budget);
        QsAnswer a;
        if (!q.tooLarge && p.N > 0 && p.M > 0) {
            std::string cstat, rstat;
            const bool warm = warmStart && startingBasis(p, cstat, rstat);
            QsRequest request;
            if (warm) request.cstat = cstat, request.rstat = rstat;
            a = runQsopt(q, request, budget);
            out.warmStarted = warm && a.ran;
            if (!a.ran && warm) a = runQsopt(q, {}, budget);
        }
        std::vector<int32_t> basis;
        const bool hasBasis = a.ran && basisFrom(p, a, basis);
        if (a.ran && a.status == kQsOptimal && hasBasis) {
            out.status = ExactStatus::Optimal;
            certify(p, basis, budget, separator, out);
        } else if (a.ran && a.status == kQsInfeasible) {
            out.status = ExactStatus::Infeasible;
            out.verified = certifiesInfeasible(p, a.y, budget, separator);
        } else if (a.ran && a.status == kQsUnbounded) {
            out.status = ExactStatus::Unbounded;
            out.verified = certifiesUnbounded(p, q, budget, separator);
        } else {
            // No answer from the solver (a problem without unknowns, numbers beyond its
            // range, a failure): exact pivots from the method's basis instead, where it is
            // feasible or dual feasible.
            const Continuation c = continueExactly(p, p.basis, budget, kFallbackPivots);
            if (c.status == Continuation::Status::Optimal) {
                out.status = ExactStatus::Optimal;
                out.verified = fillFrom(p, c.basis, budget, separator, out);
            } else if (c.status != Continuation::Status::Unknown) {
                out.status = c.status == Continuation::Status::Infeasible ? ExactStatus::Infeasible
                                                                          : ExactStatus::Unbounded;
                out.verified = true;
            } else {
                out.message = q.tooLarge ? "число задачи вне диапазона, доступного точному решению"
                                         : "точный решатель не дал ответа (состояние " +
                                               std::to_string(a.status) + ")";
            }
        }
    } catch (const Stopped& stopped) {
        out.status = ExactStatus::Stopped;
        out.hasObjective = false;
        out.message =
            stopped.cancelled ? "точное решение остановлено" : "время точного решения истекло";
    }
    return finish();
}

ExactSolution solveExactly(const LpProblem& p, const Verification* verification,
                           const ExactSolveOptions& options) {
    const Budget budget = Budget::seconds(options.maxSeconds, options.cancel);
    ExactSolution out;
    try {
        out = exactSolve(p, budget, options.decimalSeparator, options.warmStart);
    } catch (const NonFiniteValue& bad) {
        out = ExactSolution{};
        out.status = ExactStatus::Failed;
        out.message = bad.what();
    }
    if (verification) out.cause = verification->cause;
    return out;
}

} // namespace kvado::analysis
