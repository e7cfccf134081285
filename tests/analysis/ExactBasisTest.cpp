// The exact basis solver against the definition: random bases of random problems (all three
// row kinds, so surplus, slack and artificial columns; fractions, negative solutions, repeated
// columns that make the basis singular), each answer multiplied back in rational arithmetic.

#include <gtest/gtest.h>

#include <random>

#include "../solver/TestSupport.h"
#include "analysis/BasisCheck.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;

// The rank of a rational matrix by plain Gaussian elimination.
int rank(std::vector<std::vector<mpq_class>> a) {
    const size_t rows = a.size(), cols = rows ? a[0].size() : 0;
    int r = 0;
    for (size_t c = 0; c < cols && static_cast<size_t>(r) < rows; ++c) {
        size_t piv = static_cast<size_t>(r);
        while (piv < rows && sgn(a[piv][c]) == 0)
            ++piv;
        if (piv == rows) continue;
        std::swap(a[piv], a[static_cast<size_t>(r)]);
        for (size_t i = static_cast<size_t>(r) + 1; i < rows; ++i) {
            const mpq_class f = a[i][c] / a[static_cast<size_t>(r)][c];
            for (size_t j = c; j < cols; ++j)
                a[i][j] -= f * a[static_cast<size_t>(r)][j];
        }
        ++r;
    }
    return r;
}

TEST(ExactBasis, SolvesRandomBasesExactly) {
    std::mt19937_64 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int singular = 0, solved = 0;
    for (int n = 0; n < 150; ++n) {
        test::ProblemData d;
        d.G = pick(0, 3);
        d.E = pick(0, 3);
        d.L = pick(d.G + d.E == 0 ? 1 : 0, 3);
        d.N = pick(1, 8);
        for (int32_t i = 0; i < d.M(); ++i) {
            d.A.emplace_back();
            for (int32_t j = 0; j < d.N; ++j)
                d.A.back().push_back(pick(0, 2) ? std::ldexp(Real(pick(-40, 40)), pick(-30, 3))
                                                : Real(0));
            d.B.push_back(std::ldexp(Real(pick(0, 99)), pick(-5, 5)));
        }
        // A repeated column now and then: bases holding both copies are singular.
        if (d.N >= 2 && pick(0, 3) == 0)
            for (auto& row : d.A)
                row[1] = row[0];
        d.C.assign(static_cast<size_t>(d.N), 1);
        LpProblem p;
        test::load(d, p);
        const int32_t M = p.M;
        std::vector<int32_t> columns;
        for (int32_t j = 1; j <= p.phase1Columns; ++j)
            columns.push_back(j);
        std::shuffle(columns.begin(), columns.end(), rng);
        if (static_cast<int32_t>(columns.size()) < M) continue;
        std::vector<int32_t> basis{0};
        basis.insert(basis.end(), columns.begin(), columns.begin() + M);

        std::vector<std::vector<Dyadic>> cols;
        std::vector<std::vector<mpq_class>> B(static_cast<size_t>(M),
                                              std::vector<mpq_class>(static_cast<size_t>(M)));
        for (int32_t r = 1; r <= M; ++r) {
            cols.push_back(columnOf(p, basis[static_cast<size_t>(r)]));
            for (int32_t i = 1; i <= M; ++i)
                B[static_cast<size_t>(i - 1)][static_cast<size_t>(r - 1)] =
                    toRational(cols.back()[static_cast<size_t>(i)]);
        }
        const Budget budget;
        ExactBasis exact(p, basis, budget);
        ASSERT_EQ(exact.singular(), rank(B) < M);
        if (exact.singular()) {
            ++singular;
            continue;
        }
        ++solved;
        std::vector<Dyadic> rhs(static_cast<size_t>(M) + 1), c(static_cast<size_t>(M) + 1);
        for (int32_t i = 1; i <= M; ++i) {
            rhs[static_cast<size_t>(i)] = toDyadic(std::ldexp(Real(pick(-50, 50)), pick(-9, 9)));
            c[static_cast<size_t>(i)] = toDyadic(std::ldexp(Real(pick(-50, 50)), pick(-9, 9)));
        }
        const ScaledVector v = exact.solve(rhs), y = exact.solveTransposed(c);
        for (int32_t i = 1; i <= M; ++i) {
            mpq_class row = 0, column = 0;
            for (int32_t k = 1; k <= M; ++k) {
                row += B[static_cast<size_t>(i - 1)][static_cast<size_t>(k - 1)] *
                       v.at(static_cast<size_t>(k));
                column += B[static_cast<size_t>(k - 1)][static_cast<size_t>(i - 1)] *
                          y.at(static_cast<size_t>(k));
            }
            EXPECT_EQ(row, toRational(rhs[static_cast<size_t>(i)])) << "row " << i;
            EXPECT_EQ(column, toRational(c[static_cast<size_t>(i)])) << "column " << i;
        }
    }
    // Both kinds of basis were met.
    EXPECT_GE(singular, 10);
    EXPECT_GE(solved, 50);
}

} // namespace
