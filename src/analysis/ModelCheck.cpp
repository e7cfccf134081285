#include "analysis/ModelCheck.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>

#include "analysis/BasisCheck.h"
#include "analysis/QsoptRun.h"

namespace kvado::analysis {

namespace {

constexpr const char* kScaleCause = "метод не нашел решения из-за масштаба данных";

// A bound: absent (infinite) or an exact value.
struct Side {
    bool finite = false;
    mpq_class v;
};

// The model's numbers exactly, minimised: `cost` is the model's cost times `sense` (-1 for a
// maximisation), so that a multiplier y of a row is d(sense·F)/db.
struct ExactModel {
    int sense = 1;
    std::vector<mpq_class> cost; // sense·c, a column
    std::vector<Side> lower, upper, rowLower, rowUpper;
    std::vector<mpq_class> a; // an entry of m.entries each
    mpq_class constant;
    bool rounded = false;
};

void every(const Budget& budget, size_t k) {
    if ((k & 4095) == 0) budget.check();
}

mpq_class exactOf(const text::ExactReal& x, bool& rounded) {
    rounded = rounded || x.exact.rounded();
    return toRational(x.exactValue());
}

Side sideOf(const text::ExactReal& x, bool& rounded) {
    if (std::isinf(x.value)) return {};
    return {true, exactOf(x, rounded)};
}

ExactModel exactModel(const model::Model& m, const Budget& budget) {
    ExactModel e;
    e.sense = m.sense == model::Sense::Maximize ? -1 : 1;
    e.constant = exactOf({m.objectiveConstant, m.objectiveConstantExact}, e.rounded);
    for (size_t j = 0; j < m.columns.size(); ++j) {
        every(budget, j);
        const model::Column& c = m.columns[j];
        e.cost.push_back(e.sense * exactOf(model::exactCost(c), e.rounded));
        e.lower.push_back(sideOf(model::exactLower(c), e.rounded));
        e.upper.push_back(sideOf(model::exactUpper(c), e.rounded));
    }
    for (size_t i = 0; i < m.rows.size(); ++i) {
        every(budget, i);
        const model::Row& r = m.rows[i];
        const bool lower = r.kind != RowKind::Less, upper = r.kind != RowKind::Greater;
        // An "=" row's lower and upper bound are its one right-hand side.
        e.rowLower.push_back(lower ? sideOf(model::exactLower(r), e.rounded) : Side{});
        e.rowUpper.push_back(
            upper ? sideOf(r.kind == RowKind::Equal ? model::exactLower(r) : model::exactUpper(r),
                           e.rounded)
                  : Side{});
    }
    e.a.reserve(m.entries.size());
    for (size_t k = 0; k < m.entries.size(); ++k) {
        every(budget, k);
        e.a.push_back(exactOf(model::exactValue(m.entries[k]), e.rounded));
    }
    return e;
}

// The model for QSopt_ex: its columns, then a column s in [l, u] for each ranged row, which
// becomes the "=" row a·x - s = 0 (so that QSopt_ex's ranges are not needed).
QsProblem qsProblem(const model::Model& m, const ExactModel& e, std::vector<int32_t>& rangeRows) {
    QsProblem q;
    const size_t n = m.columns.size();
    for (size_t i = 0; i < m.rows.size(); ++i)
        if (m.rows[i].kind == RowKind::Range) rangeRows.push_back(static_cast<int32_t>(i));
    q.ncols = static_cast<int>(n + rangeRows.size());
    q.nrows = static_cast<int>(m.rows.size());
    const mpq_class infinity(kQsInfinity);
    q.count.assign(static_cast<size_t>(q.ncols), 0);
    for (size_t k = 0; k < m.entries.size(); ++k)
        if (sgn(e.a[k]) != 0) ++q.count[static_cast<size_t>(m.entries[k].column)];
    for (size_t k = n; k < q.count.size(); ++k)
        q.count[k] = 1;
    q.begin.assign(q.count.size(), 0);
    for (size_t j = 1; j < q.count.size(); ++j)
        q.begin[j] = q.begin[j - 1] + q.count[j - 1];
    const size_t nonzeros = static_cast<size_t>(q.begin.back() + q.count.back());
    q.index.assign(nonzeros, 0);
    q.value.assign(nonzeros, 0);
    std::vector<int> at(q.begin);
    for (size_t k = 0; k < m.entries.size(); ++k) {
        if (sgn(e.a[k]) == 0) continue;
        const auto t = static_cast<size_t>(at[static_cast<size_t>(m.entries[k].column)]++);
        q.index[t] = m.entries[k].row;
        q.value[t] = e.a[k];
        q.watch(e.a[k]);
    }
    for (size_t k = 0; k < rangeRows.size(); ++k) {
        const auto t = static_cast<size_t>(q.begin[n + k]);
        q.index[t] = rangeRows[k];
        q.value[t] = -1;
    }
    auto bound = [&q, &infinity](const Side& s, int direction) {
        if (!s.finite) return mpq_class(direction * infinity);
        q.watch(s.v);
        return s.v;
    };
    for (size_t j = 0; j < n; ++j) {
        q.cost.push_back(e.cost[j]);
        q.watch(e.cost[j]);
        q.lower.push_back(bound(e.lower[j], -1));
        q.upper.push_back(bound(e.upper[j], 1));
    }
    for (const int32_t i : rangeRows) {
        q.cost.emplace_back(0);
        q.lower.push_back(bound(e.rowLower[static_cast<size_t>(i)], -1));
        q.upper.push_back(bound(e.rowUpper[static_cast<size_t>(i)], 1));
    }
    for (size_t i = 0; i < m.rows.size(); ++i) {
        switch (m.rows[i].kind) {
        case RowKind::Greater:
            q.sense += 'G';
            q.rhs.push_back(bound(e.rowLower[i], -1));
            break;
        case RowKind::Less:
            q.sense += 'L';
            q.rhs.push_back(bound(e.rowUpper[i], 1));
            break;
        case RowKind::Equal:
            q.sense += 'E';
            q.rhs.push_back(bound(e.rowLower[i], -1));
            break;
        case RowKind::Range:
            q.sense += 'E';
            q.rhs.emplace_back(0);
            break;
        }
    }
    return q;
}

char markCode(BasisMark b) {
    switch (b) {
    case BasisMark::Basic:
        return kQsBasic;
    case BasisMark::AtUpper:
        return kQsAtUpper;
    case BasisMark::Free:
        return kQsFree;
    case BasisMark::AtLower:
        break;
    }
    return kQsAtLower;
}

// The answer's final basis in QSopt_ex's codes: a row's logical variable is basic where the
// row's activity is, a ranged row's activity is its column s. False without a basis.
bool startingBasis(const model::Model& m, const ModelAnswer& a,
                   const std::vector<int32_t>& rangeRows, QsRequest& r) {
    if (a.columnStatus.size() != m.columns.size() || a.rowStatus.size() != m.rows.size())
        return false;
    for (const BasisMark b : a.columnStatus)
        r.cstat += markCode(b);
    for (size_t i = 0; i < m.rows.size(); ++i) {
        const bool range = m.rows[i].kind == RowKind::Range;
        r.rstat += !range && a.rowStatus[i] == BasisMark::Basic ? kQsBasic : kQsAtLower;
    }
    for (const int32_t i : rangeRows) {
        const BasisMark b = a.rowStatus[static_cast<size_t>(i)];
        r.cstat += b == BasisMark::Free ? kQsAtLower : markCode(b);
    }
    return true;
}

std::string nameOf(const model::Column& c) {
    return "«" + c.name + "»";
}
std::string nameOf(const model::Row& r) {
    return "строка «" + r.name + "»";
}

// Every row's activity A·x.
std::vector<mpq_class> activities(const model::Model& m, const ExactModel& e,
                                  const std::vector<mpq_class>& x, const Budget& budget) {
    std::vector<mpq_class> r(m.rows.size());
    for (size_t k = 0; k < m.entries.size(); ++k) {
        every(budget, k);
        const model::Entry& en = m.entries[k];
        const mpq_class& xj = x[static_cast<size_t>(en.column)];
        if (sgn(xj) != 0) r[static_cast<size_t>(en.row)] += e.a[k] * xj;
    }
    return r;
}

// The first bound or row the exact point x breaks.
std::optional<std::string> primalFailure(const model::Model& m, const ExactModel& e,
                                         const std::vector<mpq_class>& x,
                                         const std::vector<mpq_class>& r, char sep) {
    for (size_t j = 0; j < m.columns.size(); ++j)
        if ((e.lower[j].finite && x[j] < e.lower[j].v) ||
            (e.upper[j].finite && x[j] > e.upper[j].v))
            return "значение " + nameOf(m.columns[j]) + " = " + numberText(x[j], sep) +
                   " вне его границ";
    for (size_t i = 0; i < m.rows.size(); ++i)
        if ((e.rowLower[i].finite && r[i] < e.rowLower[i].v) ||
            (e.rowUpper[i].finite && r[i] > e.rowUpper[i].v))
            return nameOf(m.rows[i]) + " нарушена: a·x = " + numberText(r[i], sep);
    return std::nullopt;
}

// The dual side of the optimum of (x, r): every reduced cost d = sense·c - Aᵀy and every
// multiplier y of a sign its bound allows, and nonzero only where x or the row is at that
// bound (complementary slackness). With primal feasibility it proves x optimal.
std::optional<std::string> dualFailure(const model::Model& m, const ExactModel& e,
                                       const std::vector<mpq_class>& x,
                                       const std::vector<mpq_class>& r,
                                       const std::vector<mpq_class>& y, const Budget& budget,
                                       char sep) {
    auto atBound = [](const mpq_class& v, int s, const Side& lower, const Side& upper) {
        return s == 0 || (s > 0 ? lower.finite && v == lower.v : upper.finite && v == upper.v);
    };
    for (size_t i = 0; i < m.rows.size(); ++i)
        if (!atBound(r[i], sgn(y[i]), e.rowLower[i], e.rowUpper[i]))
            return "множитель " + std::string(nameOf(m.rows[i])) + " = " + numberText(y[i], sep) +
                   " при строке не на этой границе";
    std::vector<mpq_class> d(e.cost);
    for (size_t k = 0; k < m.entries.size(); ++k) {
        every(budget, k);
        const model::Entry& en = m.entries[k];
        const mpq_class& yi = y[static_cast<size_t>(en.row)];
        if (sgn(yi) != 0) d[static_cast<size_t>(en.column)] -= e.a[k] * yi;
    }
    for (size_t j = 0; j < m.columns.size(); ++j)
        if (!atBound(x[j], sgn(d[j]), e.lower[j], e.upper[j]))
            return "приведенная стоимость " + nameOf(m.columns[j]) + " = " + numberText(d[j], sep) +
                   " при значении не на этой границе";
    return std::nullopt;
}

// A Farkas certificate of "no feasible solution": y·A·x over the columns' bounds stays below
// what y·A·x must reach over the rows' bounds. Returns the proof's sentence.
std::optional<std::string> farkasProof(const model::Model& m, const ExactModel& e,
                                       const std::vector<mpq_class>& y, const Budget& budget,
                                       char sep) {
    mpq_class least; // the least y·(A·x) the rows allow
    for (size_t i = 0; i < m.rows.size(); ++i) {
        const int s = sgn(y[i]);
        if (s == 0) continue;
        const Side& b = s > 0 ? e.rowLower[i] : e.rowUpper[i];
        if (!b.finite) return std::nullopt;
        least += y[i] * b.v;
    }
    std::vector<mpq_class> g(m.columns.size());
    for (size_t k = 0; k < m.entries.size(); ++k) {
        every(budget, k);
        const model::Entry& en = m.entries[k];
        const mpq_class& yi = y[static_cast<size_t>(en.row)];
        if (sgn(yi) != 0) g[static_cast<size_t>(en.column)] += e.a[k] * yi;
    }
    mpq_class most; // the most (yᵀA)·x the columns' bounds allow
    for (size_t j = 0; j < g.size(); ++j) {
        const int s = sgn(g[j]);
        if (s == 0) continue;
        const Side& b = s > 0 ? e.upper[j] : e.lower[j];
        if (!b.finite) return std::nullopt;
        most += g[j] * b.v;
    }
    if (most >= least) return std::nullopt;
    return "множители строк точного решателя проверены точно: в границах столбцов y·A·x не "
           "больше " +
           numberText(most, sep) + ", а строки требуют не меньше " + numberText(least, sep);
}

// An unbounded objective, proved: a feasible point (the model without costs) and a ray (the
// model's cone, its bounds and rows against 0, within -1 <= d <= 1 where a column has no bound,
// its costs minimised) along which sense·c·d < 0, each solved by QSopt_ex and checked here.
std::optional<std::string> unboundedProof(const model::Model& m, const ExactModel& e,
                                          const Budget& budget, char sep,
                                          std::vector<mpq_class>& ray) {
    const auto n = static_cast<long>(m.columns.size());
    auto solved = [&](const ExactModel& v) -> std::optional<std::vector<mpq_class>> {
        std::vector<int32_t> rangeRows;
        QsRequest request;
        request.values = true;
        const QsAnswer a = runQsopt(qsProblem(m, v, rangeRows), request, budget);
        if (!a.ran || a.status != kQsOptimal || static_cast<long>(a.x.size()) < n)
            return std::nullopt;
        std::vector<mpq_class> x(a.x.begin(), a.x.begin() + n);
        if (primalFailure(m, v, x, activities(m, v, x, budget), sep)) return std::nullopt;
        return x;
    };
    ExactModel feasibility = e;
    for (auto& c : feasibility.cost)
        c = 0;
    if (!solved(feasibility)) return std::nullopt;
    ExactModel cone = e;
    auto toCone = [](Side& s, int unit) { s = s.finite ? Side{true, 0} : Side{true, unit}; };
    for (size_t j = 0; j < cone.cost.size(); ++j) {
        toCone(cone.lower[j], -1);
        toCone(cone.upper[j], 1);
    }
    for (size_t i = 0; i < m.rows.size(); ++i) {
        if (cone.rowLower[i].finite) cone.rowLower[i].v = 0;
        if (cone.rowUpper[i].finite) cone.rowUpper[i].v = 0;
    }
    const auto d = solved(cone);
    if (!d) return std::nullopt;
    mpq_class slope;
    for (size_t j = 0; j < d->size(); ++j)
        slope += e.cost[j] * (*d)[j];
    if (sgn(slope) >= 0) return std::nullopt;
    ray = *d;
    return std::string("допустимая точка и луч, вдоль которого целевая функция улучшается без "
                       "предела, найдены точным решателем и проверены точно");
}

// The largest violation by the answer's own plan of its bounds and rows, each relative to the
// size of its terms (at least 1), computed exactly.
Real planViolation(const model::Model& m, const ExactModel& e, const ModelAnswer& a,
                   const Budget& budget) {
    std::vector<mpq_class> x(m.columns.size());
    Real worst = 0;
    auto beyond = [&worst](const mpq_class& excess, Real size) {
        if (sgn(excess) > 0) worst = std::max(worst, toReal(excess) / size);
    };
    for (size_t j = 0; j < x.size(); ++j) {
        x[j] = toRational(toDyadic(a.columnValue[j]));
        const Real size = std::max(Real(1), std::fabs(a.columnValue[j]));
        if (e.lower[j].finite) beyond(e.lower[j].v - x[j], size);
        if (e.upper[j].finite) beyond(x[j] - e.upper[j].v, size);
    }
    const std::vector<mpq_class> r = activities(m, e, x, budget);
    std::vector<Real> size(m.rows.size(), 1);
    for (const model::Entry& en : m.entries) {
        Real& s = size[static_cast<size_t>(en.row)];
        s = std::max(s, std::fabs(en.value * a.columnValue[static_cast<size_t>(en.column)]));
    }
    for (size_t i = 0; i < r.size(); ++i) {
        const model::Row& row = m.rows[i];
        Real s = size[i];
        if (std::isfinite(row.lower)) s = std::max(s, std::fabs(row.lower));
        if (std::isfinite(row.upper)) s = std::max(s, std::fabs(row.upper));
        if (e.rowLower[i].finite) beyond(e.rowLower[i].v - r[i], s);
        if (e.rowUpper[i].finite) beyond(r[i] - e.rowUpper[i].v, s);
    }
    return worst;
}

// A number of the model's data that is an infinity where none may be, or a NaN; empty when
// there is none.
std::string nonFiniteData(const model::Model& m) {
    auto bad = [](Real v) { return std::isnan(v); };
    if (!std::isfinite(m.objectiveConstant)) return "константа целевой функции";
    for (const model::Column& c : m.columns)
        if (!std::isfinite(c.cost) || bad(c.lower) || bad(c.upper) || c.lower == model::kInfinity ||
            c.upper == -model::kInfinity)
            return "столбец " + nameOf(c);
    for (const model::Row& r : m.rows)
        if (bad(r.lower) || bad(r.upper)) return nameOf(r);
    for (const model::Entry& en : m.entries)
        if (!std::isfinite(en.value))
            return "коэффициент " + nameOf(m.columns[static_cast<size_t>(en.column)]) + " в " +
                   nameOf(m.rows[static_cast<size_t>(en.row)]);
    return {};
}

// The exact answer the solver gave, as it stands after the check.
struct Exact {
    ExactStatus status = ExactStatus::Failed;
    bool proved = false;
    std::string proof; // how it was proved, or why it was not
    mpq_class z;       // at an optimum, in the model's sense with its constant
    // What proved "no feasible solution" (the rows' multipliers) or an unbounded objective
    // (the ray, a column each); empty when nothing did.
    std::vector<mpq_class> certificate, ray;
};

bool near(const mpq_class& z, Real answer) {
    const Real exact = toReal(z);
    return std::fabs(answer - exact) <= kAnswerTolerance * std::max(Real(1), std::fabs(exact));
}

void setObjective(const mpq_class& z, Real answer, char sep, Verification& v) {
    v.hasObjective = true;
    v.objectiveExact = fractionText(z);
    v.objectiveDecimal = numberText(z, sep);
    v.objectiveValue = toReal(z);
    v.objectiveError = toReal(mpq_class(toRational(toDyadic(answer)) - z));
}

// The solver's answer `qa` checked on the model; `out` gets the exact solution.
Exact settle(const model::Model& m, const ExactModel& e, const QsAnswer& qa, const Budget& budget,
             char sep, ExactSolution& out) {
    Exact x;
    const size_t n = m.columns.size(), rows = m.rows.size();
    if (qa.status == kQsOptimal) {
        x.status = ExactStatus::Optimal;
        if (qa.x.size() < n || qa.y.size() != rows) {
            x.proof = "точный решатель не дал плана и множителей";
            return x;
        }
        const std::vector<mpq_class> plan(qa.x.begin(), qa.x.begin() + static_cast<long>(n));
        const std::vector<mpq_class> r = activities(m, e, plan, budget);
        if (auto f = primalFailure(m, e, plan, r, sep)) {
            x.proof = "план точного решателя не проверен: " + *f;
            return x;
        }
        // Either sign convention of the multipliers.
        std::vector<mpq_class> y = qa.y;
        auto dual = dualFailure(m, e, plan, r, y, budget, sep);
        if (dual) {
            for (auto& v : y)
                v = -v;
            if (!dualFailure(m, e, plan, r, y, budget, sep)) dual.reset();
        }
        if (dual) {
            x.proof = "двойственные оценки точного решателя не проверены: " + *dual;
            return x;
        }
        x.proved = true;
        for (size_t j = 0; j < n; ++j)
            x.z += e.sense * e.cost[j] * plan[j];
        x.z += e.constant;
        out.hasObjective = true;
        out.objectiveExact = fractionText(x.z);
        out.objectiveDecimal = numberText(x.z, sep);
        out.objective = toReal(x.z);
        out.x.clear();
        for (const mpq_class& v : plan)
            out.x.push_back(toReal(v));
        out.pi.clear();
        for (const mpq_class& v : y)
            out.pi.push_back(toReal(mpq_class(e.sense * v)));
    } else if (qa.status == kQsInfeasible) {
        x.status = ExactStatus::Infeasible;
        std::optional<std::string> proof;
        if (qa.y.size() == rows) {
            std::vector<mpq_class> y = qa.y;
            proof = farkasProof(m, e, y, budget, sep);
            if (!proof) {
                for (auto& v : y)
                    v = -v;
                proof = farkasProof(m, e, y, budget, sep);
            }
            if (proof) x.certificate = std::move(y);
        }
        x.proved = proof.has_value();
        x.proof = proof ? *proof
                        : "по ответу точного решателя QSopt_ex (его множители не доказывают "
                          "недопустимость)";
    } else {
        x.status = ExactStatus::Unbounded;
        const auto proof = unboundedProof(m, e, budget, sep, x.ray);
        x.proved = proof.has_value();
        x.proof = proof ? *proof : "по ответу точного решателя QSopt_ex (луч не проверен)";
    }
    out.status = x.status;
    out.verified = x.proved;
    return x;
}

// The verdict on `a` from the exact answer.
void judge(const model::Model& m, const ExactModel& e, const ModelAnswer& a, const Exact& x,
           const Budget& budget, char sep, Verification& v) {
    if (x.status == ExactStatus::Optimal && !x.proved) {
        v.reason = "ответ точного решателя не выдержал проверки: " + x.proof;
        return;
    }
    const std::string exactly =
        x.status == ExactStatus::Optimal ? "точно: оптимум Z = " + numberText(x.z, sep)
        : x.status == ExactStatus::Infeasible ? "точно: допустимых решений нет"
                                              : "точно: Z не ограничена";
    if (x.status == ExactStatus::Optimal) setObjective(x.z, a.objective, sep, v);
    v.cause = kScaleCause;
    switch (a.outcome) {
    case SolveOutcome::Optimal: {
        const Real violation = planViolation(m, e, a, budget);
        const bool feasible = violation <= kAnswerTolerance;
        if (x.status == ExactStatus::Optimal && feasible && near(x.z, a.objective)) {
            v.verdict = Verdict::Optimal;
            v.cause.clear();
            v.reason = "ответ совпадает с точным оптимумом модели: план и двойственные оценки "
                       "точного решателя проверены точно (границы, строки, приведенные стоимости, "
                       "дополняющая нежесткость)";
            return;
        }
        v.verdict = feasible && x.status != ExactStatus::Infeasible ? Verdict::NotOptimal
                                                                    : Verdict::NotFeasible;
        v.reason = exactly + " (" + x.proof + ")";
        if (x.status == ExactStatus::Optimal) v.reason = exactly;
        if (!feasible)
            v.reason += "; план ответа нарушает условия на " + text::formatGeneral(violation, sep);
        return;
    }
    case SolveOutcome::Infeasible:
        if (x.status == ExactStatus::Infeasible) {
            v.verdict = Verdict::InfeasibleConfirmed;
            v.cause.clear();
            v.reason = x.proved ? x.proof : "подтверждено " + x.proof;
            return;
        }
        v.verdict = Verdict::InfeasibleNotConfirmed;
        break;
    default:
        if (x.status == ExactStatus::Unbounded) {
            v.verdict = Verdict::UnboundedConfirmed;
            v.cause.clear();
            v.reason = x.proved ? x.proof : "подтверждено " + x.proof;
            return;
        }
        v.verdict = Verdict::UnboundedNotConfirmed;
        break;
    }
    v.reason = x.status == ExactStatus::Optimal ? exactly : exactly + " (" + x.proof + ")";
}

} // namespace

ModelCheck verifyModel(const model::Model& m, const ModelAnswer& a, const VerifyOptions& options) {
    ModelCheck out;
    Verification& v = out.verification;
    const auto started = std::chrono::steady_clock::now();
    const char sep = options.decimalSeparator;
    auto finish = [&]() {
        v.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        out.exact.seconds = v.seconds;
        out.exact.cause = v.cause;
        return out;
    };
    const int64_t rows = static_cast<int64_t>(m.rows.size());
    if (options.maxRows > 0 && rows > options.maxRows) {
        v.reason = "задача велика: " + std::to_string(rows) + " ограничений (автоматически до " +
                   std::to_string(options.maxRows) + ")";
        return finish();
    }
    if (a.outcome != SolveOutcome::Optimal && a.outcome != SolveOutcome::Infeasible &&
        a.outcome != SolveOutcome::Unbounded) {
        v.reason = "метод не закончил решение: проверять нечего";
        return finish();
    }
    if (const std::string bad = nonFiniteData(m); !bad.empty()) {
        v.reason = "в данных задачи число вне диапазона: " + bad;
        return finish();
    }
    const bool finiteAnswer =
        std::isfinite(a.objective) && std::all_of(a.columnValue.begin(), a.columnValue.end(),
                                                  [](Real x) { return std::isfinite(x); });
    if (!finiteAnswer || a.columnValue.size() != m.columns.size()) {
        v.verdict = a.outcome == SolveOutcome::Optimal      ? Verdict::NotOptimal
                    : a.outcome == SolveOutcome::Infeasible ? Verdict::InfeasibleNotConfirmed
                                                            : Verdict::UnboundedNotConfirmed;
        v.reason = finiteAnswer ? "в ответе нет плана" : "переполнение в вычислениях метода";
        v.cause = kScaleCause;
        return finish();
    }
    const Budget budget = Budget::seconds(options.maxSeconds, options.cancel);
    try {
        const ExactModel e = exactModel(m, budget);
        out.exact.dataRounded = e.rounded;
        std::vector<int32_t> rangeRows;
        const QsProblem q = qsProblem(m, e, rangeRows);
        if (q.tooLarge || q.ncols == 0 || q.nrows == 0) {
            v.reason = q.tooLarge ? "число задачи вне диапазона, доступного точному решению"
                                  : "в задаче нет ни строк, ни столбцов для точного решателя";
            return finish();
        }
        QsRequest request;
        request.values = request.multipliers = true;
        const bool warm = startingBasis(m, a, rangeRows, request);
        QsAnswer qa = runQsopt(q, request, budget);
        out.exact.warmStarted = warm && qa.ran;
        if (!qa.ran && warm) {
            request.cstat.clear();
            request.rstat.clear();
            qa = runQsopt(q, request, budget);
        }
        if (!qa.ran || qa.status < kQsOptimal || qa.status > kQsUnbounded) {
            v.reason =
                "точный решатель не дал ответа (состояние " + std::to_string(qa.status) + ")";
            out.exact.message = v.reason;
            return finish();
        }
        const Exact x = settle(m, e, qa, budget, sep, out.exact);
        judge(m, e, a, x, budget, sep, v);
        for (const mpq_class& y : x.certificate)
            out.certificate.push_back(toReal(y));
        for (const mpq_class& d : x.ray)
            out.ray.push_back(toReal(d));
        if (!x.ray.empty()) {
            mpq_class rate;
            for (size_t j = 0; j < x.ray.size(); ++j)
                rate += e.cost[j] * x.ray[j];
            out.rayRate = toReal(mpq_class(e.sense * rate)); // the costs are sense·c
        }
        if (e.rounded && v.verdict != Verdict::Skipped) {
            v.rounded = true;
            v.reason += "; " + roundedDataText();
        }
    } catch (const NonFiniteValue& bad) {
        v = Verification{};
        v.reason = std::string("переполнение: ") + bad.what();
    } catch (const Stopped& stopped) {
        v = Verification{};
        v.reason = stopped.cancelled ? "точная проверка остановлена"
                                     : "время точной проверки истекло (" +
                                           text::formatGeneral(options.maxSeconds, sep) + " с)";
        out.exact = ExactSolution{};
        out.exact.status = ExactStatus::Stopped;
        out.exact.message =
            stopped.cancelled ? "точное решение остановлено" : "время точного решения истекло";
    }
    return finish();
}

} // namespace kvado::analysis
