// The transformation's bookkeeping: what it tells the user, the names it gives and the rows it
// leaves out. Its arithmetic is checked by solving (GlpsolTest, NetlibMpsTest).

#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "model/ModelFiles.h"

namespace {

using namespace kvado;
using namespace kvado::model;

TEST(ModelStandardForm, NamesOrderAndSummary) {
    const Model m =
        readLp("max: x + y - z + w + v\nst\n a: x + y + z + w + v <= -1\n"
               " b: -2 <= x - y <= 3\n c: x + y = 4\n e: 0 x >= -1\n"
               "bounds\n x free\n -1 <= y <= 2\n -inf <= z <= 5\n w = 2\n v >= 0\nend\n",
               "t.lp");
    const StandardForm sf = toStandardForm(m);
    EXPECT_EQ(sf.columnNames, (std::vector<std::string>{"x+", "x-", "y+1", "5-z", "v"}));
    // ">=" rows, "=" rows, "<=" rows in the user's order, then the bound rows.
    EXPECT_EQ(sf.rowNames, (std::vector<std::string>{"-a", "c", "-b:lo", "b:up", "y<=2"}));
    EXPECT_EQ(sf.G, 1);
    EXPECT_EQ(sf.E, 1);
    EXPECT_EQ(sf.L, 3);
    EXPECT_TRUE(sf.infeasible.empty());
    EXPECT_EQ(summaryText(sf.summary),
              "Задача приведена к стандартному виду: максимум заменен минимумом (коэффициенты цели "
              "умножены на -1); ограничений умножено на -1: 2; двусторонних ограничений разбито на "
              "два: 1; неизвестных сдвинуто (x = l + x'): 1; неизвестных отражено (x = u - x'): 1; "
              "свободных неизвестных разбито на две (x = x+ - x-): 1; фиксированных неизвестных "
              "подставлено: 1; верхних границ стало ограничениями: 1; пустых ограничений "
              "опущено: 1.");
}

TEST(ModelStandardForm, EmptyRowThatCannotHoldMakesTheProblemInfeasible) {
    const Model m =
        readLp("min: x\nst\n ok: 0 x <= 3\n never: 0 x >= 5\n c: x >= 1\nend\n", "t.lp");
    const StandardForm sf = toStandardForm(m);
    EXPECT_EQ(sf.infeasible, "Задача не имеет допустимого решения: ограничение «never» не "
                             "содержит неизвестных и требует 0 >= 5");
    EXPECT_EQ(sf.M(), 1);
    EXPECT_EQ(summaryText(TransformSummary{}),
              "Задача приведена к стандартному виду: изменений не потребовалось.");
}

// The cheap test that spares the sparse engine's road the transformation never lets through a
// model the transformation rules out: small random models, whose rows are often empty or on
// fixed columns only, now and then moved off their point or with crossing bounds.
TEST(ModelStandardForm, CheapTestLetsNothingRuledOutThrough) {
    std::mt19937 rng(17);
    int spared = 0, ruledOut = 0;
    for (int n = 0; n < 4000; ++n) {
        Model m = test::randomModel(rng, 4, 3, true, false);
        Row& row = m.rows[rng() % m.rows.size()];
        const Real shift = static_cast<Real>(static_cast<int>(rng() % 5) - 2) / 2;
        if (std::isfinite(row.lower)) row.lower += shift;
        if (std::isfinite(row.upper)) row.upper += shift;
        if (rng() % 20 == 0) m.columns[0].lower = m.columns[0].upper + 1;
        if (rng() % 20 == 0 && row.kind == RowKind::Range) row.lower = row.upper + 1;
        const bool infeasible = !toStandardForm(m).infeasible.empty();
        ruledOut += infeasible;
        if (!transformMayRuleOut(m)) {
            ++spared;
            EXPECT_FALSE(infeasible) << "model " << n;
        }
    }
    EXPECT_GT(spared, 1000);
    EXPECT_GT(ruledOut, 100);
}

} // namespace

namespace {

// A problem already in the standard form (the data file's) is a model whose transformation
// changes nothing: the same solve, and its marginals are the solver's own read in the user's
// terms (row: -Pi, column: the final reduced cost).
TEST(ModelStandardForm, DataFileProblemIsAModelThatNeedsNoChange) {
    using namespace kvado::test;
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> coef(0, 6), rhs(1, 30);
    int optimal = 0;
    for (int round = 0; round < 30; ++round) {
        ProblemData d;
        d.G = round % 3;
        d.E = round % 2;
        d.L = 2 + round % 4;
        d.N = 3 + round % 5;
        for (int i = 0; i < d.M(); ++i) {
            d.A.emplace_back();
            for (int j = 0; j < d.N; ++j)
                d.A.back().push_back(coef(rng) - 1);
            d.B.push_back(rhs(rng));
        }
        for (int j = 0; j < d.N; ++j)
            d.C.push_back(coef(rng) - 4);
        Solved direct;
        solveProblem(d, direct);
        const Model m = modelOfProblem(direct.problem, {"first"}, {}, "Z");
        EXPECT_EQ(m.rows[0].name, "first");
        EXPECT_EQ(m.rows[1].name, "2");
        EXPECT_EQ(m.columns[0].name, "X[1]");
        const ModelSolve s = solveModel(m, d.eps);
        EXPECT_EQ(summaryText(s.sf.summary),
                  "Задача приведена к стандартному виду: изменений не потребовалось.");
        ASSERT_EQ(s.outcome, direct.outcome);
        if (s.outcome != SolveOutcome::Optimal) continue;
        ++optimal;
        const LpProblem& p = direct.problem;
        EXPECT_EQ(s.user.objective, -p.inverse(p.M + 1, 0));
        for (int32_t i = 1; i <= p.M; ++i)
            EXPECT_EQ(s.user.rowMarginal[static_cast<size_t>(i - 1)], -p.inverse(p.M + 1, i));
        for (int32_t j = 1; j <= p.N; ++j) {
            EXPECT_EQ(s.user.columnValue[static_cast<size_t>(j - 1)],
                      p.solution[static_cast<size_t>(j)]);
            EXPECT_EQ(s.user.columnMarginal[static_cast<size_t>(j - 1)],
                      p.basic[static_cast<size_t>(j)] ? 0 : p.pricing[static_cast<size_t>(j)]);
        }
    }
    EXPECT_GE(optimal, 10);
}

} // namespace
