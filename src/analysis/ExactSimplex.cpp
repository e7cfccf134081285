#include "analysis/ExactSimplex.h"

#include "analysis/BasisCheck.h"

namespace kvado::analysis {

namespace {

// The reduced cost of every phase-2 column that is not basic, times y.den (0 for basic ones).
std::vector<Dyadic> reducedCosts(const LpProblem& p, const std::vector<char>& isBasic,
                                 const ScaledVector& y) {
    std::vector<Dyadic> d(static_cast<size_t>(p.phase2Columns) + 1);
    for (int32_t j = 1; j <= p.phase2Columns; ++j) {
        if (isBasic[static_cast<size_t>(j)]) continue;
        Dyadic v;
        if (j <= p.N) {
            v = exactCost(p, j);
            v.m *= y.den;
            const auto col = p.column(j);
            for (int32_t t = 0; t < col.count; ++t) {
                const auto& yi = y.num[static_cast<size_t>(col.rows[t])];
                if (sgn(yi) != 0)
                    addProduct(v, negated(exactCoefficient(p, col.rows[t], j, col.value(t))), yi);
            }
        } else if (j <= p.N + p.G) {
            v.m = y.num[static_cast<size_t>(j - p.N)]; // surplus: 0 − y·(−e_i)
        } else {
            v.m = -y.num[static_cast<size_t>(j - p.N + p.E)]; // slack: 0 − y·e_i
        }
        d[static_cast<size_t>(j)] = std::move(v);
    }
    return d;
}

// ρ·A[.,j] for a row vector ρ over rows 1..M (times ρ.den).
Dyadic rowTimesColumn(const LpProblem& p, const ScaledVector& rho, int32_t j) {
    Dyadic v;
    if (j <= p.N) {
        const auto col = p.column(j);
        for (int32_t t = 0; t < col.count; ++t) {
            const auto& ri = rho.num[static_cast<size_t>(col.rows[t])];
            if (sgn(ri) != 0) addProduct(v, exactCoefficient(p, col.rows[t], j, col.value(t)), ri);
        }
    } else if (j <= p.N + p.G) {
        v.m = -rho.num[static_cast<size_t>(j - p.N)];
    } else {
        v.m = rho.num[static_cast<size_t>(j - p.N + p.E)];
    }
    return v;
}

} // namespace

Continuation continueExactly(const LpProblem& p, std::vector<int32_t> basis, const Budget& budget,
                             int32_t maxPivots) {
    using Status = Continuation::Status;
    Continuation out;
    const int32_t M = p.M;
    const std::vector<Dyadic> b = rightHandSides(p);
    for (;;) {
        out.basis = basis;
        ExactBasis B(p, basis, budget);
        if (B.singular()) return out;
        std::vector<char> isBasic(static_cast<size_t>(p.phase1Columns) + 1, 0);
        for (int32_t r = 1; r <= M; ++r)
            isBasic[static_cast<size_t>(basis[static_cast<size_t>(r)])] = 1;
        const ScaledVector x = B.solve(b);
        const ScaledVector y = B.solveTransposed(basisCosts(p, basis, false));
        // Primal infeasible positions: a negative variable, or an artificial that is not 0.
        int32_t leaving = 0;
        for (int32_t r = 1; r <= M; ++r) {
            const int s = sgn(x.num[static_cast<size_t>(r)]);
            const bool bad = p.isArtificialColumn(basis[static_cast<size_t>(r)]) ? s != 0 : s < 0;
            if (bad && (leaving == 0 ||
                        basis[static_cast<size_t>(r)] < basis[static_cast<size_t>(leaving)]))
                leaving = r;
        }
        const std::vector<Dyadic> d = reducedCosts(p, isBasic, y);
        int32_t entering = 0;
        for (int32_t j = 1; j <= p.phase2Columns && entering == 0; ++j)
            if (!isBasic[static_cast<size_t>(j)] && sign(d[static_cast<size_t>(j)]) < 0)
                entering = j;
        if (leaving == 0 && entering == 0) {
            out.status = Status::Optimal;
            out.objective = objectiveOf(p, structuralValues(p, basis, x));
            return out;
        }
        if ((leaving != 0 && entering != 0) || out.pivots >= maxPivots) return out;
        budget.check();
        if (entering != 0) {
            // Primal: the smallest ratio x_r / t_r over t_r > 0; an artificial row with
            // t_r != 0 must leave at once (ratio 0). Ties go to the lowest column (Bland).
            const ScaledVector t = B.solve(columnOf(p, entering));
            int32_t r0 = 0;
            mpq_class best;
            for (int32_t r = 1; r <= M; ++r) {
                const int ts = sgn(t.num[static_cast<size_t>(r)]);
                const bool artificial = p.isArtificialColumn(basis[static_cast<size_t>(r)]);
                if (artificial ? ts == 0 : ts <= 0) continue;
                mpq_class ratio = 0;
                if (!artificial) {
                    ratio = mpq_class(x.num[static_cast<size_t>(r)], t.num[static_cast<size_t>(r)]);
                    ratio.canonicalize();
                }
                const int c = r0 == 0 ? -1 : cmp(ratio, best);
                if (c < 0 ||
                    (c == 0 && basis[static_cast<size_t>(r)] < basis[static_cast<size_t>(r0)])) {
                    r0 = r;
                    best = ratio;
                }
            }
            if (r0 == 0) {
                out.status = Status::Unbounded;
                return out;
            }
            basis[static_cast<size_t>(r0)] = entering;
        } else {
            // Dual: row `leaving` of B⁻¹, and the column that keeps every reduced cost >= 0.
            std::vector<Dyadic> unit(static_cast<size_t>(M) + 1);
            unit[static_cast<size_t>(leaving)].m = 1;
            const ScaledVector rho = B.solveTransposed(unit);
            const bool up = sgn(x.num[static_cast<size_t>(leaving)]) > 0; // an artificial above 0
            int32_t j0 = 0;
            mpq_class best;
            for (int32_t j = 1; j <= p.phase2Columns; ++j) {
                if (isBasic[static_cast<size_t>(j)]) continue;
                const Dyadic alpha = rowTimesColumn(p, rho, j);
                const int as = sign(alpha);
                if (up ? as <= 0 : as >= 0) continue;
                // d_j / |α_j|, both over their own common denominators, which the comparison
                // of the ratios among j does not need.
                mpq_class ratio = toRational(d[static_cast<size_t>(j)]) / abs(toRational(alpha));
                if (j0 == 0 || cmp(ratio, best) < 0) {
                    j0 = j;
                    best = ratio;
                }
            }
            if (j0 == 0) {
                out.status = Status::Infeasible;
                return out;
            }
            basis[static_cast<size_t>(leaving)] = j0;
        }
        ++out.pivots;
    }
}

} // namespace kvado::analysis
