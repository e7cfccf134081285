#include "analysis/BasisCheck.h"

#include <algorithm>
#include <cmath>

namespace kvado::analysis {

namespace {

// Row i's structural entries a_ij with the column numbers: the extended number and the exact
// value the user wrote.
template <typename F> void forRow(const LpProblem& p, int32_t i, F f) {
    const auto row = p.row(i);
    for (int32_t t = 0; t < row.count; ++t) {
        const Real v = row.valuesD ? Real(row.valuesD[t]) : row.values[t];
        f(row.columns[t], v, exactCoefficient(p, i, row.columns[t], v));
    }
}

template <typename F> void forColumn(const LpProblem& p, int32_t j, F f) {
    const auto col = p.column(j);
    for (int32_t t = 0; t < col.count; ++t)
        f(col.rows[t], exactCoefficient(p, col.rows[t], j, col.value(t)));
}

Dyadic times(const Dyadic& a, const mpz_class& z) {
    Dyadic r;
    if (sgn(a.m) == 0 || sgn(z) == 0) return r;
    r.m = a.m * z;
    r.e = a.e;
    r.f = a.f;
    r.rounded = a.rounded;
    return r;
}

// A look at the budget every 256 rows or columns.
void every(const Budget* budget, int32_t k) {
    if (budget && (k & 255) == 0) budget->check();
}

std::string rowText(int32_t i) {
    return "ограничение №" + std::to_string(i);
}
std::string columnText(int32_t j) {
    return "X[" + std::to_string(j) + "]";
}

mpq_class quotient(const Dyadic& a, const mpz_class& den) {
    mpq_class q = toRational(a);
    q /= den;
    return q;
}

} // namespace

std::string numberText(const mpq_class& q, char separator) {
    return text::formatGeneral(toReal(q), separator);
}

std::vector<Dyadic> rightHandSides(const LpProblem& p) {
    std::vector<Dyadic> b(static_cast<size_t>(p.M) + 1);
    for (int32_t i = 1; i <= p.M; ++i)
        b[static_cast<size_t>(i)] = exactRhs(p, i);
    return b;
}

std::vector<Dyadic> basisCosts(const LpProblem& p, const std::vector<int32_t>& basis, bool phase1) {
    std::vector<Dyadic> c(static_cast<size_t>(p.M) + 1);
    for (int32_t r = 1; r <= p.M; ++r) {
        const int32_t j = basis[static_cast<size_t>(r)];
        if (phase1) {
            if (p.isArtificialColumn(j)) c[static_cast<size_t>(r)].m = 1;
        } else if (j >= 1 && j <= p.N) {
            c[static_cast<size_t>(r)] = exactCost(p, j);
        }
    }
    return c;
}

std::vector<Dyadic> columnOf(const LpProblem& p, int32_t j) {
    std::vector<Dyadic> a(static_cast<size_t>(p.M) + 1);
    if (j <= p.N) {
        forColumn(p, j, [&](int32_t i, const Dyadic& v) { a[static_cast<size_t>(i)] = v; });
    } else if (j <= p.N + p.G) {
        a[static_cast<size_t>(j - p.N)].m = -1;
    } else if (j <= p.phase2Columns) {
        a[static_cast<size_t>(j - p.N + p.E)].m = 1;
    } else {
        a[static_cast<size_t>(j - p.phase2Columns)].m = 1;
    }
    return a;
}

ScaledVector structuralValues(const LpProblem& p, const std::vector<int32_t>& basis,
                              const ScaledVector& positions) {
    ScaledVector x;
    x.num.assign(static_cast<size_t>(p.N) + 1, 0);
    x.den = positions.den;
    for (int32_t r = 1; r <= p.M; ++r) {
        const int32_t j = basis[static_cast<size_t>(r)];
        if (j >= 1 && j <= p.N)
            x.num[static_cast<size_t>(j)] = positions.num[static_cast<size_t>(r)];
    }
    return x;
}

std::optional<Failure> primalFailure(const LpProblem& p, const ScaledVector& x, char separator,
                                     const Budget* budget) {
    for (int32_t j = 1; j <= p.N; ++j)
        if (sgn(x.num[static_cast<size_t>(j)]) < 0) {
            const mpq_class v = x.at(static_cast<size_t>(j));
            return Failure{columnText(j) + " = " + numberText(v, separator) + " < 0", toReal(v), j};
        }
    for (int32_t i = 1; i <= p.M; ++i) {
        every(budget, i);
        Dyadic activity;
        forRow(p, i, [&](int32_t j, Real, const Dyadic& a) {
            const auto& xj = x.num[static_cast<size_t>(j)];
            if (sgn(xj) != 0) addProduct(activity, a, xj);
        });
        const Dyadic b = exactRhs(p, i);
        const Dyadic target = times(b, x.den);
        const int c = compare(activity, target);
        const char* sense = nullptr;
        if (p.isGreaterRow(i) && c < 0) sense = " >= ";
        if (p.isEqualRow(i) && c != 0) sense = " = ";
        if (p.isLessRow(i) && c > 0) sense = " <= ";
        if (sense) {
            const mpq_class v = quotient(activity, x.den);
            return Failure{rowText(i) + " не выполнено: " + numberText(v, separator) + sense +
                               text::formatGeneral(p.tableau(i, 0), separator),
                           toReal(v - toRational(b)), i};
        }
    }
    return std::nullopt;
}

namespace {

// The reduced costs of the surplus and slack columns are the multipliers of their rows, y[i]
// for a ">=" row and −y[i] for a "<=" row (times `scale`); the first negative one, one in
// (−Eps, 0) preferred, goes into `first` / is returned.
std::optional<Failure> extraColumnFailure(const LpProblem& p, const ScaledVector& y, int scale,
                                          const char* phase, char separator,
                                          std::optional<Failure>& first) {
    for (int32_t i = 1; i <= p.M; ++i) {
        if (p.isEqualRow(i)) continue;
        const int s = sgn(y.num[static_cast<size_t>(i)]) * scale * (p.isGreaterRow(i) ? 1 : -1);
        if (s >= 0) continue;
        const mpq_class v = y.at(static_cast<size_t>(i)) * scale * (p.isGreaterRow(i) ? 1 : -1);
        const int32_t j = p.ownExtraColumn(i);
        Failure f{"приведенная стоимость " + columnText(j) + phase + " (" + rowText(i) +
                      ") = " + numberText(v, separator) + " < 0",
                  toReal(v), j, true};
        if (f.value > -p.eps) return f;
        if (!first) first = f;
    }
    return std::nullopt;
}

} // namespace

std::optional<Failure> dualFailure(const LpProblem& p, const ScaledVector& y, char separator,
                                   const Budget* budget) {
    std::optional<Failure> first;
    if (auto f = extraColumnFailure(p, y, 1, "", separator, first)) return f;
    for (int32_t j = 1; j <= p.N; ++j) {
        every(budget, j);
        Dyadic d = times(exactCost(p, j), y.den);
        forColumn(p, j, [&](int32_t i, const Dyadic& a) {
            const auto& yi = y.num[static_cast<size_t>(i)];
            if (sgn(yi) != 0) addProduct(d, negated(a), yi);
        });
        if (sign(d) >= 0) continue;
        const mpq_class v = quotient(d, y.den);
        Failure f{"приведенная стоимость " + columnText(j) + " = " + numberText(v, separator) +
                      " < 0",
                  toReal(v), j, true};
        if (f.value > -p.eps) return f;
        if (!first) first = f;
    }
    return first;
}

std::optional<Failure> farkasFailure(const LpProblem& p, const ScaledVector& y, char separator,
                                     mpq_class& w, const Budget* budget) {
    w = dualObjectiveOf(p, y);
    std::optional<Failure> first;
    if (auto f = extraColumnFailure(p, y, 1, " первой фазы", separator, first)) return f;
    for (int32_t j = 1; j <= p.N; ++j) {
        every(budget, j);
        Dyadic d;
        forColumn(p, j, [&](int32_t i, const Dyadic& a) {
            const auto& yi = y.num[static_cast<size_t>(i)];
            if (sgn(yi) != 0) addProduct(d, a, yi);
        });
        if (sign(d) <= 0) continue;
        // y·A[.,j] > 0 is a negative reduced cost −y·A[.,j] of the first phase.
        const mpq_class v = -quotient(d, y.den);
        Failure f{"приведенная стоимость " + columnText(j) +
                      " первой фазы = " + numberText(v, separator) + " < 0",
                  toReal(v), j, true};
        if (f.value > -p.eps) return f;
        if (!first) first = f;
    }
    if (first) return first;
    if (sgn(w) <= 0)
        return Failure{"сумма искусственных переменных точно равна " + numberText(w, separator),
                       toReal(w), 0};
    return std::nullopt;
}

std::optional<Failure> rayFailure(const LpProblem& p, const ScaledVector& d, char separator,
                                  const Budget* budget) {
    for (int32_t j = 1; j <= p.N; ++j)
        if (sgn(d.num[static_cast<size_t>(j)]) < 0)
            return Failure{"луч уменьшает " + columnText(j) + " ниже 0",
                           toReal(d.at(static_cast<size_t>(j))), j};
    for (int32_t i = 1; i <= p.M; ++i) {
        every(budget, i);
        Dyadic change;
        forRow(p, i, [&](int32_t j, Real, const Dyadic& a) {
            const auto& dj = d.num[static_cast<size_t>(j)];
            if (sgn(dj) != 0) addProduct(change, a, dj);
        });
        const int s = sign(change);
        if ((p.isGreaterRow(i) && s < 0) || (p.isEqualRow(i) && s != 0) ||
            (p.isLessRow(i) && s > 0))
            return Failure{"луч нарушает " + rowText(i), toReal(quotient(change, d.den)), i};
    }
    const mpq_class slope = objectiveOf(p, d);
    if (sgn(slope) >= 0)
        return Failure{"вдоль луча Z не убывает (C·d = " + numberText(slope, separator) + ")",
                       toReal(slope), 0};
    return std::nullopt;
}

Real planViolation(const LpProblem& p, const Budget* budget) {
    Real worst = 0, largest = 1;
    for (int32_t j = 1; j <= p.N; ++j)
        largest = std::max(largest, std::fabs(p.solution[static_cast<size_t>(j)]));
    for (int32_t j = 1; j <= p.N; ++j)
        worst = std::max(worst, -p.solution[static_cast<size_t>(j)] / largest);
    for (int32_t i = 1; i <= p.M; ++i) {
        every(budget, i);
        Dyadic activity;
        Real size = std::max(Real(1), std::fabs(p.tableau(i, 0)));
        forRow(p, i, [&](int32_t j, Real a, const Dyadic& exact) {
            const Real xj = p.solution[static_cast<size_t>(j)];
            if (xj == 0) return;
            addProduct(activity, exact, toDyadic(xj));
            size = std::max(size, std::fabs(a * xj));
        });
        addTo(activity, negated(exactRhs(p, i)));
        const Real d = toReal(toRational(activity)); // activity − B[i]
        const Real violation = p.isGreaterRow(i) ? -d : p.isLessRow(i) ? d : std::fabs(d);
        worst = std::max(worst, violation / size);
    }
    return worst;
}

mpq_class objectiveOf(const LpProblem& p, const ScaledVector& x) {
    Dyadic z;
    for (int32_t j = 1; j <= p.N; ++j) {
        const auto& xj = x.num[static_cast<size_t>(j)];
        if (sgn(xj) != 0) addProduct(z, exactCost(p, j), xj);
    }
    return quotient(z, x.den);
}

mpq_class dualObjectiveOf(const LpProblem& p, const ScaledVector& y) {
    Dyadic w;
    for (int32_t i = 1; i <= p.M; ++i) {
        const auto& yi = y.num[static_cast<size_t>(i)];
        if (sgn(yi) != 0) addProduct(w, exactRhs(p, i), yi);
    }
    return quotient(w, y.den);
}

} // namespace kvado::analysis
