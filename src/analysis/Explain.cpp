#include "analysis/Explain.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "analysis/BasisCheck.h"
#include "solver/TraceLog.h"

namespace kvado::analysis {

namespace {

mpq_class ratio(const mpz_class& a, const mpz_class& b) {
    mpq_class q(a, b);
    q.canonicalize();
    return q;
}

// Multipliers whose smallest whole form stays below this are shown as whole numbers.
constexpr long kWholeLimit = 1000000;

// The exact Farkas certificate of the final phase-1 basis of `q`, or nothing when the basis
// does not prove "no feasible solution". Throws Stopped.
std::optional<ScaledVector> certificateOf(const LpProblem& q, const Budget& budget) {
    ExactBasis basis(q, q.basis, budget);
    if (basis.singular()) return std::nullopt;
    ScaledVector y = basis.solveTransposed(basisCosts(q, q.basis, true));
    mpq_class w;
    if (farkasFailure(q, y, ',', w, &budget)) return std::nullopt;
    return y;
}

// The rows 1..M of `q` with a nonzero multiplier.
std::vector<int32_t> supportOf(const LpProblem& q, const ScaledVector& y) {
    std::vector<int32_t> rows;
    for (int32_t i = 1; i <= q.M; ++i)
        if (sgn(y.num[static_cast<size_t>(i)]) != 0) rows.push_back(i);
    return rows;
}

// The solver's host for the phase-1 solves of the search: silent, stopped by the budget or the
// caller.
class SearchHost : public SolverHost {
public:
    SearchHost(const Budget& budget, const std::function<bool()>& stop)
        : m_budget(budget), m_stop(stop) {}
    bool stopRequested() override {
        return m_budget.cancelled() || m_budget.timeUp() || (m_stop && m_stop());
    }

private:
    const Budget& m_budget;
    const std::function<bool()>& m_stop;
};

// Phase 1 of the rows `rows` of `p` (ascending, so the groups stay in order) with every X >= 0:
// the rows of an exactly proven infeasible subset of them (the support of its certificate), or
// nothing when the method finds them feasible or its certificate does not prove otherwise.
// Only the columns the rows use are kept, and no costs: phase 2 ends at once.
std::optional<std::vector<int32_t>>
infeasibleRows(const LpProblem& p, const std::vector<int32_t>& rows, const Budget& budget,
               const std::function<bool()>& stop, const ExplainOptions& options, int32_t& solves) {
    std::vector<int32_t> newColumn(static_cast<size_t>(p.N) + 1, 0);
    int32_t n = 0;
    for (const int32_t i : rows) {
        const auto r = p.row(i);
        for (int32_t t = 0; t < r.count; ++t) {
            auto& c = newColumn[static_cast<size_t>(r.columns[t])];
            if (c == 0) c = 1;
        }
    }
    for (int32_t j = 1; j <= p.N; ++j)
        if (newColumn[static_cast<size_t>(j)]) newColumn[static_cast<size_t>(j)] = ++n;
    LpProblem q;
    for (const int32_t i : rows)
        (p.isGreaterRow(i) ? q.G : p.isEqualRow(i) ? q.E : q.L)++;
    q.N = std::max(n, 1); // rows without a coefficient still need a column to stand beside
    q.eps = p.eps;
    q.reset();
    for (size_t k = 0; k < rows.size(); ++k) {
        const auto r = p.row(rows[k]);
        for (int32_t t = 0; t < r.count; ++t)
            q.setCoefficient(static_cast<int32_t>(k) + 1,
                             newColumn[static_cast<size_t>(r.columns[t])],
                             r.valuesD ? Real(r.valuesD[t]) : r.values[t]);
    }
    for (int32_t j = 1; j <= q.N; ++j)
        q.setObjective(j, 0);
    for (size_t k = 0; k < rows.size(); ++k)
        q.setRightHandSide(static_cast<int32_t>(k) + 1, p.tableau(rows[k], 0));
    q.takeSnapshots();
    TraceLog log{TraceLog::Discard{}};
    SearchHost host(budget, stop);
    ++solves;
    const SolveOutcome outcome = options.phase1
                                     ? options.phase1(q, [&host] { return host.stopRequested(); })
                                     : solve(q, log, host);
    // A solve cut short says nothing of its rows.
    if (outcome == SolveOutcome::Stopped) throw Stopped(!budget.timeUp());
    if (outcome != SolveOutcome::Infeasible) return std::nullopt;
    const auto y = certificateOf(q, budget);
    if (!y) return std::nullopt;
    std::vector<int32_t> support;
    for (const int32_t k : supportOf(q, *y))
        support.push_back(rows[static_cast<size_t>(k) - 1]);
    return support;
}

// The deletion filter: from an infeasible set of rows, groups are dropped while what stays is
// still infeasible (it then shrinks at once to its own certificate's support); a group whose
// removal makes the rest feasible is halved, and a single such row belongs to the subset.
// Every set kept on the way is proven infeasible exactly; "feasible" is the method's word.
std::vector<int32_t> deletionFilter(const LpProblem& p, std::vector<int32_t> set,
                                    const Budget& budget, const ExplainOptions& options,
                                    int32_t& solves) {
    const std::function<bool()>& stop = options.stopRequested;
    std::vector<int32_t> needed; // rows whose removal leaves a feasible set, ascending
    size_t group = std::max<size_t>(1, set.size() / 4);
    for (;;) {
        budget.check();
        if (stop && stop()) throw Stopped(true);
        std::vector<int32_t> open;
        for (const int32_t i : set)
            if (!std::binary_search(needed.begin(), needed.end(), i)) open.push_back(i);
        if (open.empty()) break;
        group = std::min(group, open.size());
        std::vector<int32_t> rest;
        std::set_difference(set.begin(), set.end(), open.begin(),
                            open.begin() + static_cast<std::ptrdiff_t>(group),
                            std::back_inserter(rest));
        // No rows at all are met by X = 0.
        auto smaller =
            rest.empty() ? std::nullopt : infeasibleRows(p, rest, budget, stop, options, solves);
        if (smaller) {
            // A subset of a set without a needed row is feasible, so none is lost here.
            set = std::move(*smaller);
            group *= 2;
        } else if (group > 1) {
            group /= 2;
        } else {
            needed.insert(std::upper_bound(needed.begin(), needed.end(), open.front()),
                          open.front());
        }
    }
    return set;
}

// y scaled for the texts: the smallest whole numbers when they stay small, else a largest
// magnitude of 1. Returns the factor that takes y.num to the shown multipliers.
mpq_class displayScale(const std::vector<mpz_class>& num) {
    mpz_class g = 0, largest = 0;
    for (const auto& v : num) {
        if (sgn(v) == 0) continue;
        g = gcd(g, v);
        const mpz_class a = abs(v);
        if (a > largest) largest = a;
    }
    if (sgn(g) == 0) return 1;
    if (largest / g <= kWholeLimit) return mpq_class(1, g);
    mpq_class s(1, largest);
    s.canonicalize();
    return s;
}

void explainInfeasible(const LpProblem& p, const ExplainOptions& options, Explanation& e) {
    const Budget exact = Budget::seconds(options.exactSeconds, options.cancel);
    std::optional<ScaledVector> y;
    try {
        y = certificateOf(p, exact);
    } catch (const Stopped&) {
        e.note = "Объяснение не показано: время точной проверки множителей истекло";
        return;
    }
    if (!y) {
        e.note = "Объяснение не показано: множители первой фазы точно не доказывают "
                 "несовместность";
        return;
    }
    e.kind = Explanation::Kind::Infeasible;
    Infeasibility& f = e.infeasibility;
    const mpq_class scale = displayScale(y->num);
    Dyadic bound;
    for (int32_t i = 1; i <= p.M; ++i) {
        const mpz_class& yi = y->num[static_cast<size_t>(i)];
        if (sgn(yi) == 0) continue;
        f.rows.push_back({i, toReal(mpq_class(yi) * scale)});
        addProduct(bound, exactRhs(p, i), yi);
    }
    f.bound = toReal(toRational(bound) * scale);
    for (int32_t j = 1; j <= p.N; ++j) {
        Dyadic d;
        const auto col = p.column(j);
        for (int32_t t = 0; t < col.count; ++t) {
            const mpz_class& yi = y->num[static_cast<size_t>(col.rows[t])];
            if (sgn(yi) != 0) addProduct(d, exactCoefficient(p, col.rows[t], j, col.value(t)), yi);
        }
        // y·A[.,j] <= 0: the bound X[j] >= 0 times its negative closes the sum.
        if (sign(d) < 0) f.columns.push_back({j, toReal(-toRational(d) * scale)});
    }

    if (options.maxSubsetRows > 0 && p.M > options.maxSubsetRows) {
        f.subsetNote = "Несовместное подмножество не искалось: задача велика (ограничений: " +
                       std::to_string(p.M) + ", предел " + std::to_string(options.maxSubsetRows) +
                       ")";
        return;
    }
    const Budget search = Budget::seconds(options.subsetSeconds, options.cancel);
    try {
        f.subset = deletionFilter(p, supportOf(p, *y), search, options, f.resolves);
        f.subsetComputed = true;
    } catch (const Stopped& stopped) {
        f.subset.clear();
        f.subsetNote =
            stopped.cancelled
                ? std::string("Поиск несовместного подмножества прерван")
                : "Несовместное подмножество не найдено за " +
                      text::formatGeneral(options.subsetSeconds, options.decimalSeparator) + " с";
    }
}

void explainUnbounded(const LpProblem& p, const ExplainOptions& options, Explanation& e) {
    const int32_t s = p.unboundedColumn();
    const Budget budget = Budget::seconds(options.exactSeconds, options.cancel);
    const char* failed = "Объяснение не показано: луч, вдоль которого Z убывает, точно не "
                         "подтвержден";
    if (s < 1 || s > p.phase2Columns || p.basic[static_cast<size_t>(s)] == 1) {
        e.note = failed;
        return;
    }
    try {
        ExactBasis basis(p, p.basis, budget);
        if (basis.singular()) {
            e.note = failed;
            return;
        }
        // The basis's point must be feasible, and the ray keep every row and lower Z.
        const ScaledVector x = structuralValues(p, p.basis, basis.solve(rightHandSides(p)));
        const ScaledVector t = basis.solve(columnOf(p, s));
        ScaledVector d = structuralValues(p, p.basis, t);
        for (auto& v : d.num)
            v = -v;
        if (s <= p.N) d.num[static_cast<size_t>(s)] = d.den;
        if (primalFailure(p, x, ',', &budget) || rayFailure(p, d, ',', &budget)) {
            e.note = failed;
            return;
        }
        Unboundedness& u = e.unboundedness;
        u.lead = s <= p.N ? s : 0;
        for (int32_t j = 1; j <= p.N && u.lead == 0; ++j)
            if (sgn(d.num[static_cast<size_t>(j)]) > 0) u.lead = j;
        const mpz_class lead = d.num[static_cast<size_t>(u.lead)];
        for (int32_t j = 1; j <= p.N; ++j) {
            const mpz_class& dj = d.num[static_cast<size_t>(j)];
            if (sgn(dj) > 0) u.ray.push_back({j, toReal(ratio(dj, lead))});
        }
        u.objectiveRate = toReal(objectiveOf(p, d) * ratio(d.den, lead));
        e.kind = Explanation::Kind::Unbounded;
    } catch (const Stopped&) {
        e.note = "Объяснение не показано: время точной проверки луча истекло";
    }
}

std::string joined(const std::vector<std::string>& items) {
    std::string s;
    for (size_t k = 0; k < items.size(); ++k) {
        if (k > 0) s += k + 1 == items.size() ? " и " : ", ";
        s += items[k];
    }
    return s;
}

const char* relationText(const LpProblem& p, int32_t i) {
    return p.isGreaterRow(i) ? "≥" : p.isEqualRow(i) ? "=" : "≤";
}

} // namespace

Explanation explain(const LpProblem& p, SolveOutcome outcome, const ExplainOptions& options) {
    Explanation e;
    try {
        if (outcome == SolveOutcome::Infeasible) explainInfeasible(p, options, e);
        if (outcome == SolveOutcome::Unbounded) explainUnbounded(p, options, e);
    } catch (const NonFiniteValue& bad) {
        // An overflow of the method's numbers has no exact value to explain.
        e = Explanation{};
        e.note = std::string("Объяснение не показано: ") + bad.what();
    }
    return e;
}

std::string explainNumber(Real v, char separator) {
    return text::formatGeneral(v, separator);
}

std::string explainRowName(const Names& names, int32_t i) {
    const auto k = static_cast<size_t>(i) - 1;
    if (k < names.rows.size() && !names.rows[k].empty()) return "«" + names.rows[k] + "»";
    return "№" + std::to_string(i);
}

std::string explainColumnName(const Names& names, int32_t j) {
    const auto k = static_cast<size_t>(j) - 1;
    if (k < names.columns.size() && !names.columns[k].empty()) return "«" + names.columns[k] + "»";
    return "X[" + std::to_string(j) + "]";
}

std::string explanationSentence(const LpProblem& p, const Explanation& e, const Names& names,
                                char separator) {
    (void)p;
    auto times = [separator](Real v) {
        const std::string t = explainNumber(v, separator);
        return v < 0 ? " ×(" + t + ")" : " ×" + t;
    };
    if (e.kind == Explanation::Kind::Infeasible) {
        const Infeasibility& f = e.infeasibility;
        std::vector<std::string> items;
        for (const Term& t : f.rows)
            items.push_back(explainRowName(names, t.index) + times(t.multiplier));
        for (const Term& t : f.columns)
            items.push_back(explainColumnName(names, t.index) + " ≥ 0" + times(t.multiplier));
        return "Сложив ограничения " + joined(items) + ", получаем 0 ≥ " +
               explainNumber(f.bound, separator) + ": ограничения несовместны";
    }
    if (e.kind == Explanation::Kind::Unbounded) {
        const Unboundedness& u = e.unboundedness;
        std::vector<std::string> items;
        for (const Term& t : u.ray)
            items.push_back(explainColumnName(names, t.index));
        return joined(items) + (items.size() > 1 ? " могут" : " может") +
               " расти неограниченно: при увеличении " + explainColumnName(names, u.lead) +
               " на 1 Z уменьшается на " + explainNumber(-u.objectiveRate, separator);
    }
    return e.note;
}

std::vector<std::string> explanationSection(const LpProblem& p, const Explanation& e,
                                            const Names& names, char separator) {
    std::vector<std::string> lines;
    if (e.kind == Explanation::Kind::None && e.note.empty()) return lines;
    lines.push_back(kExplainHeading);
    lines.push_back(explanationSentence(p, e, names, separator));
    if (e.kind == Explanation::Kind::Infeasible) {
        const Infeasibility& f = e.infeasibility;
        lines.push_back("Множители ограничений:");
        for (const Term& t : f.rows)
            lines.push_back("  " + explainRowName(names, t.index) + " (" +
                            relationText(p, t.index) + " " +
                            explainNumber(p.tableau(t.index, 0), separator) +
                            "): " + explainNumber(t.multiplier, separator));
        for (const Term& t : f.columns)
            lines.push_back("  " + explainColumnName(names, t.index) +
                            " ≥ 0: " + explainNumber(t.multiplier, separator));
        if (f.subsetComputed) {
            std::vector<std::string> rows;
            for (const int32_t i : f.subset)
                rows.push_back(explainRowName(names, i));
            lines.push_back(
                "Несовместное подмножество: " + joined(rows) +
                (rows.size() > 1 ? " (без любого из них остальные ограничения совместны)" : ""));
        } else {
            lines.push_back(f.subsetNote);
        }
    } else if (e.kind == Explanation::Kind::Unbounded) {
        const Unboundedness& u = e.unboundedness;
        lines.push_back("Направление, вдоль которого Z убывает неограниченно:");
        for (const Term& t : u.ray)
            lines.push_back("  " + explainColumnName(names, t.index) + ": " +
                            explainNumber(t.multiplier, separator));
        lines.push_back("Изменение Z на единицу шага: " +
                        explainNumber(u.objectiveRate, separator));
    }
    return lines;
}

} // namespace kvado::analysis
