#include "mip/Gomory.h"

#include <cmath>

namespace kvado::mip {

namespace {

bool whole(Real v, Real tolerance) {
    return std::fabs(v - std::round(v)) <= tolerance * std::max<Real>(1, std::fabs(v));
}

// The fractional part, 0 for a value whole within the tolerance (so a residue of 1e-17 under
// a whole number is not a part of almost 1).
Real fractionOf(Real v, Real tolerance) {
    if (whole(v, tolerance)) return 0;
    return v - std::floor(v);
}

} // namespace

bool wholeData(const LpProblem& p) {
    for (int32_t i = 1; i <= p.M; ++i) {
        if (!whole(p.tableau(i, 0), 0)) return false;
        for (int32_t j = 1; j <= p.N; ++j)
            if (!whole(p.tableau(i, j), 0)) return false;
    }
    return true;
}

bool integral(const std::vector<Real>& x, int32_t N, Real tolerance) {
    for (int32_t j = 1; j <= N && static_cast<size_t>(j) < x.size(); ++j)
        if (!whole(x[static_cast<size_t>(j)], tolerance)) return false;
    return true;
}

std::optional<GomoryCut> fractionalCut(const LpProblem& p, Real tolerance) {
    int32_t best = 0;
    Real bestF = 0;
    for (int32_t i = 1; i <= p.M; ++i) {
        if (p.isArtificialColumn(p.basis[static_cast<size_t>(i)])) continue;
        const Real f = fractionOf(p.inverse(i, 0), tolerance);
        if (f > bestF) {
            bestF = f;
            best = i;
        }
    }
    if (best == 0) return std::nullopt;
    GomoryCut cut;
    cut.row = best;
    cut.basicColumn = p.basis[static_cast<size_t>(best)];
    cut.basicValue = p.inverse(best, 0);
    cut.f0 = bestF;
    // ā_j = Σ_k inverse(row, k)·tableau(k, j) over the constraint rows.
    auto entry = [&](int32_t j) {
        if (j <= p.N) {
            Real sum = 0;
            const auto col = p.column(j);
            for (int32_t q = 0; q < col.count; ++q)
                sum += p.inverse(best, col.rows[q]) * col.value(q);
            return sum;
        }
        const auto u = p.unitColumn(j);
        return p.inverse(best, u.row) * Real(u.sign);
    };
    // In the unknowns: Σ f_j·x_j >= f0 with each surplus s = A_i·X − B_i and each slack
    // s = B_i − A_i·X, so Σ c_j·X[j] >= r; the cut is its negation, −c·X <= −r.
    std::vector<Real> c(static_cast<size_t>(p.N), 0);
    Real r = cut.f0;
    for (int32_t j = 1; j <= p.phase2Columns; ++j) {
        if (p.basic[static_cast<size_t>(j)] != 0) continue;
        const Real a = entry(j);
        if (a == 0) continue;
        const Real f = fractionOf(a, tolerance);
        cut.terms.push_back({j, a, f});
        if (f == 0) continue;
        if (j <= p.N) {
            c[static_cast<size_t>(j - 1)] += f;
            continue;
        }
        const auto u = p.unitColumn(j);
        const Real side = u.sign < 0 ? 1 : -1; // surplus: +A_i·X − B_i; slack: B_i − A_i·X
        for (int32_t k = 1; k <= p.N; ++k)
            c[static_cast<size_t>(k - 1)] += side * f * p.tableau(u.row, k);
        r += side * f * p.tableau(u.row, 0);
    }
    cut.g.resize(c.size());
    for (size_t j = 0; j < c.size(); ++j) {
        const Real g = -c[j];
        // Whole data give whole numbers; only the rounding of the sums is taken away.
        cut.g[j] = whole(g, 1e-7L) ? std::round(g) + Real(0) : g;
    }
    cut.h = whole(-r, 1e-7L) ? std::round(-r) + Real(0) : -r;
    return cut;
}

void addCut(const LpProblem& from, const GomoryCut& cut, LpProblem& to) {
    const bool less = cut.h >= 0;
    to = LpProblem();
    to.G = from.G + (less ? 0 : 1);
    to.E = from.E;
    to.L = from.L + (less ? 1 : 0);
    to.N = from.N;
    to.eps = from.eps;
    to.dataFileName = from.dataFileName;
    to.reset();
    // Row i of `to` from row i of `from`, the cut's row where it goes: after the ">=" rows or
    // at the very end.
    const int32_t cutRow = less ? to.M : to.G;
    auto source = [&](int32_t i) { return i < cutRow ? i : i - 1; };
    for (int32_t i = 1; i <= to.M; ++i)
        for (int32_t j = 1; j <= to.N; ++j) {
            const Real a = i == cutRow ? (less ? cut.g[static_cast<size_t>(j - 1)]
                                               : -cut.g[static_cast<size_t>(j - 1)])
                                       : from.tableau(source(i), j);
            to.setCoefficient(i, j, a + Real(0));
        }
    for (int32_t j = 1; j <= to.N; ++j)
        to.setObjective(j, from.objectiveCoefficient(j));
    for (int32_t i = 1; i <= to.M; ++i)
        to.setRightHandSide(i, i == cutRow ? (less ? cut.h : -cut.h) + Real(0)
                                           : from.tableau(source(i), 0));
    to.takeSnapshots();
}

} // namespace kvado::mip
