// The standard form that a load builds: columns, rows, initial basis and inverse table.

#include <gtest/gtest.h>

#include <ostream>

#include <vector>

#include "TestSupport.h"
#include "solver/LpProblem.h"

namespace {

using kvado::LpProblem;
using kvado::Real;
using kvado::test::load;
using kvado::test::ProblemData;

struct LayoutCase {
    const char* name;
    ProblemData data;
    int32_t phase2Columns, phase1Columns, objectiveRow, artificialObjectiveRow;
    std::vector<int32_t> basis;
    // Every tableau entry not listed is 0: {row, column, value} besides A, C and B.
    std::vector<std::tuple<int32_t, int32_t, Real>> extraEntries;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class StandardForm : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(StandardForm, BuildsTheTableauInverseAndBasis) {
    const auto& c = GetParam();
    const auto& d = c.data;
    LpProblem p;
    load(d, p);
    const int32_t M = d.M();
    EXPECT_EQ(p.M, M);
    EXPECT_EQ(p.artificialRows, d.G + d.E);
    EXPECT_EQ(p.phase2Columns, c.phase2Columns);
    EXPECT_EQ(p.phase1Columns, c.phase1Columns);
    EXPECT_EQ(p.objectiveRow, c.objectiveRow);
    EXPECT_EQ(p.artificialObjectiveRow, c.artificialObjectiveRow);
    EXPECT_EQ(p.activeColumns, c.phase2Columns);

    // The whole tableau, dense, as the load must leave it.
    std::vector<std::vector<Real>> expected(
        static_cast<size_t>(M) + 3, std::vector<Real>(static_cast<size_t>(c.phase1Columns) + 1));
    for (int32_t i = 1; i <= M; ++i) {
        expected[static_cast<size_t>(i)][0] = d.B[static_cast<size_t>(i - 1)];
        for (int32_t j = 1; j <= d.N; ++j)
            expected[static_cast<size_t>(i)][static_cast<size_t>(j)] =
                d.A[static_cast<size_t>(i - 1)][static_cast<size_t>(j - 1)];
    }
    for (int32_t j = 1; j <= d.N; ++j)
        expected[static_cast<size_t>(M) + 1][static_cast<size_t>(j)] =
            d.C[static_cast<size_t>(j - 1)];
    for (const auto& [i, j, v] : c.extraEntries)
        expected[static_cast<size_t>(i)][static_cast<size_t>(j)] = v;
    for (int32_t i = 1; i <= M + 2; ++i)
        for (int32_t j = 0; j <= c.phase1Columns; ++j)
            EXPECT_EQ(p.tableau(i, j), expected[static_cast<size_t>(i)][static_cast<size_t>(j)])
                << "tableau(" << i << ", " << j << ")";

    for (int32_t i = 1; i <= M; ++i) {
        EXPECT_EQ(p.basis[static_cast<size_t>(i)], c.basis[static_cast<size_t>(i - 1)])
            << "row " << i;
        EXPECT_EQ(p.initialRhs[static_cast<size_t>(i)], d.B[static_cast<size_t>(i - 1)])
            << "row " << i;
    }
    // Inverse table after the load: B and the identity in rows 1..M, -1 for every artificial
    // row in row M+2; the phase set-up adds the rest.
    for (int32_t i = 1; i <= M + 2; ++i) {
        for (int32_t k = 0; k <= M + 1; ++k) {
            Real v = 0;
            if (i <= M && k == 0) v = d.B[static_cast<size_t>(i - 1)];
            if (i <= M && k == i) v = 1;
            if (i == M + 2 && k >= 1 && k <= d.G + d.E) v = -1;
            EXPECT_EQ(p.inverse(i, k), v) << "inverse(" << i << ", " << k << ")";
        }
    }
}

ProblemData withCounts(int32_t G, int32_t E, int32_t L, int32_t N, std::vector<Real> B) {
    ProblemData d;
    d.G = G;
    d.E = E;
    d.L = L;
    d.N = N;
    const int32_t M = G + E + L;
    for (int32_t i = 1; i <= M; ++i) {
        d.A.emplace_back();
        for (int32_t j = 1; j <= N; ++j)
            d.A.back().push_back(static_cast<Real>(10 * i + j));
    }
    for (int32_t j = 1; j <= N; ++j)
        d.C.push_back(static_cast<Real>(-j));
    d.B = std::move(B);
    return d;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, StandardForm,
    ::testing::Values(
        // Surplus 4 and 5, slack 6 and 7 (rows 4 and 5), artificial 8, 9 and 10 (rows 1 to 3).
        LayoutCase{"G2E1L2N3",
                   withCounts(2, 1, 2, 3, {1, 2, 3, 4, 5}),
                   7,
                   10,
                   6,
                   7,
                   {8, 9, 10, 6, 7},
                   {{1, 4, -1},
                    {2, 5, -1},
                    {4, 6, 1},
                    {5, 7, 1},
                    {1, 8, 1},
                    {7, 8, 1},
                    {2, 9, 1},
                    {7, 9, 1},
                    {3, 10, 1},
                    {7, 10, 1}}},
        // Without "=" rows a slack column is N+i, the same formula as a surplus column.
        LayoutCase{"G1L2N2",
                   withCounts(1, 0, 2, 2, {1, 2, 3}),
                   5,
                   6,
                   4,
                   5,
                   {6, 4, 5},
                   {{1, 3, -1}, {2, 4, 1}, {3, 5, 1}, {1, 6, 1}, {5, 6, 1}}},
        // No artificial columns: both column counts agree and row M+2 stays empty.
        LayoutCase{
            "L2N2", withCounts(0, 0, 2, 2, {1, 2}), 4, 4, 3, 4, {3, 4}, {{1, 3, 1}, {2, 4, 1}}},
        // Only "=" rows: no surplus or slack columns at all.
        LayoutCase{"E2N1",
                   withCounts(0, 2, 0, 1, {7, 0}),
                   1,
                   3,
                   3,
                   4,
                   {2, 3},
                   {{1, 2, 1}, {4, 2, 1}, {2, 3, 1}, {4, 3, 1}}},
        // A right-hand side is taken as it stands: negative ones keep their sign and the row
        // its coefficients.
        LayoutCase{"NegativeRightHandSides",
                   withCounts(1, 1, 1, 1, {-2, -0.5L, -3}),
                   3,
                   5,
                   4,
                   5,
                   {4, 5, 3},
                   {{1, 2, -1}, {3, 3, 1}, {1, 4, 1}, {5, 4, 1}, {2, 5, 1}, {5, 5, 1}}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(StandardForm, AReloadStartsFromZero) {
    LpProblem p;
    load(withCounts(2, 1, 2, 3, {1, 2, 3, 4, 5}), p);
    p.pricing[3] = 7;
    p.basic[8] = 1;
    p.solution[2] = 9;
    load(withCounts(0, 0, 1, 2, {4}), p);
    for (int32_t j = 0; j <= p.phase1Columns; ++j) {
        EXPECT_EQ(p.pricing[static_cast<size_t>(j)], 0);
        EXPECT_EQ(p.basic[static_cast<size_t>(j)], 0);
        EXPECT_EQ(p.solution[static_cast<size_t>(j)], 0);
    }
    EXPECT_EQ(p.tableau(1, 1), 11);
    EXPECT_EQ(p.tableau(1, 3), 1);
    EXPECT_EQ(p.tableau(2, 1), -1);
    EXPECT_EQ(p.tableau(3, 3), 0);
}

} // namespace
