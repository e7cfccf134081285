// Kvado's answers in the user's terms against an independent solver: glpsol reads Kvado's MPS
// and LP writes of random general models (every bound kind, ranged rows, maximisation, negative
// right-hand sides) and its optimum, plan and marginals must agree with ours.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "GlpsolRun.h"
#include "ModelTestSupport.h"
#include "model/ModelFiles.h"

namespace {

using namespace kvado;
using namespace kvado::model;
using namespace kvado::test;

TEST(Glpsol, SameAnswersOnRandomGeneralModels) {
    if (std::system("command -v glpsol >/dev/null 2>&1") != 0) GTEST_SKIP() << "no glpsol";
    TempDir dir;
    std::mt19937 rng(20261208);
    int optimal = 0, unique = 0, lpFiles = 0, infeasible = 0, unbounded = 0;
    for (int round = 0; round < 160; ++round) {
        const bool plain = round % 3 == 0; // what glpsol's LP reader takes: no ranges, no constant
        const Model m = randomModel(rng, 6, 6, !plain, !plain);
        SCOPED_TRACE(writeLp(m));
        const ModelSolve ours = solveModel(m);
        ASSERT_TRUE(ours.sf.infeasible.empty());

        // glpsol reads an objective row's RHS as the constant itself, we as its negative: the
        // constant is left out of its file and added here.
        Model forGlpsol = m;
        forGlpsol.objectiveConstant = 0;
        std::string mps = writeMps(forGlpsol);
        const std::string objsense = "OBJSENSE\n    MAX\n"; // not a section glpsol knows
        if (const auto at = mps.find(objsense); at != std::string::npos)
            mps.erase(at, objsense.size());
        writeBytes(dir.file("model.mps"), mps);
        const bool max = m.sense == Sense::Maximize;
        const GlpAnswer g = runGlpsol(dir.file("model.mps"), "--freemps", max, dir.path());

        if (g.primal == 'n' || g.primal == 'i') {
            EXPECT_EQ(ours.outcome, SolveOutcome::Infeasible);
            ++infeasible;
            continue;
        }
        if (g.dual == 'n') {
            EXPECT_EQ(ours.outcome, SolveOutcome::Unbounded);
            ++unbounded;
            continue;
        }
        ASSERT_EQ(g.primal, 'f');
        ASSERT_EQ(ours.outcome, SolveOutcome::Optimal);
        ++optimal;
        EXPECT_TRUE(near(ours.user.objective - m.objectiveConstant, g.objective, 1e-9L))
            << static_cast<double>(ours.user.objective) << " vs "
            << static_cast<double>(g.objective);
        if (plain) {
            writeBytes(dir.file("model.lp"), writeLp(m));
            const GlpAnswer l = runGlpsol(dir.file("model.lp"), "--lp", false, dir.path());
            EXPECT_TRUE(near(ours.user.objective, l.objective, 1e-9L));
            ++lpFiles;
        }
        ASSERT_EQ(g.rowStatus.size(), m.rows.size());
        if (!nondegenerate(m, g)) continue;
        ++unique;
        for (size_t j = 0; j < m.columns.size(); ++j) {
            EXPECT_TRUE(near(ours.user.columnValue[j], g.columnValue[j], 1e-7L))
                << m.columns[j].name;
            EXPECT_TRUE(near(ours.user.columnMarginal[j], g.columnDual[j], 1e-7L))
                << m.columns[j].name << ": " << static_cast<double>(ours.user.columnMarginal[j])
                << " vs " << static_cast<double>(g.columnDual[j]);
        }
        for (size_t r = 0; r < m.rows.size(); ++r) {
            EXPECT_TRUE(near(ours.user.rowActivity[r], g.rowValue[r], 1e-7L)) << m.rows[r].name;
            EXPECT_TRUE(near(ours.user.rowMarginal[r], g.rowDual[r], 1e-7L))
                << m.rows[r].name << ": " << static_cast<double>(ours.user.rowMarginal[r]) << " vs "
                << static_cast<double>(g.rowDual[r]);
        }
    }
    // The comparison must have had something to compare.
    EXPECT_GE(optimal, 60);
    EXPECT_GE(unique, 15);
    EXPECT_GE(lpFiles, 15);
    std::cout << optimal << " optimal (" << unique << " with unique marginals, " << lpFiles
              << " also as LP), " << infeasible << " infeasible, " << unbounded << " unbounded\n";
}

} // namespace
