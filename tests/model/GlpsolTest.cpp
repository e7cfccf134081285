// Kvado's answers in the user's terms against an independent solver: glpsol reads Kvado's MPS
// and LP writes of random general models (every bound kind, ranged rows, maximisation, negative
// right-hand sides) and its optimum, plan and marginals must agree with ours.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ModelTestSupport.h"
#include "model/ModelFiles.h"

namespace {

using namespace kvado;
using namespace kvado::model;
using namespace kvado::test;

struct GlpAnswer {
    char primal = 'u', dual = 'u';
    Real objective = 0;
    std::vector<char> rowStatus, columnStatus;
    std::vector<Real> rowValue, rowDual, columnValue, columnDual;
};

// glpsol's plain solution file (-w): "s bas m n p d obj", "i k st prim dual", "j k st prim dual".
GlpAnswer runGlpsol(const std::string& file, const char* format, bool maximise,
                    const std::string& dir) {
    const std::string sol = dir + "/answer.sol";
    std::remove(sol.c_str());
    const std::string cmd = std::string("glpsol ") + format + " " + file + " --nopresol " +
                            (maximise ? "--max " : "") + "-w " + sol + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream in(sol);
    GlpAnswer a;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string tag;
        s >> tag;
        if (tag == "s") {
            std::string bas;
            int m, n;
            long double z;
            s >> bas >> m >> n >> a.primal >> a.dual >> z;
            a.objective = z;
        } else if (tag == "i" || tag == "j") {
            int k;
            char st;
            long double v, d;
            s >> k >> st >> v >> d;
            (tag == "i" ? a.rowStatus : a.columnStatus).push_back(st);
            (tag == "i" ? a.rowValue : a.columnValue).push_back(v);
            (tag == "i" ? a.rowDual : a.columnDual).push_back(d);
        }
    }
    return a;
}

bool near(Real a, Real b, Real tol) {
    return std::fabs(a - b) <= tol * std::max<Real>(1, std::fabs(b));
}

// Unique plan and marginals: no basic variable at a bound, no nonbasic one with a zero marginal.
bool nondegenerate(const Model& m, const GlpAnswer& g) {
    auto inside = [](Real v, Real lo, Real up) { return v > lo + 1e-7L && v < up - 1e-7L; };
    for (size_t r = 0; r < m.rows.size(); ++r) {
        if (g.rowStatus[r] == 'b' ? !inside(g.rowValue[r], m.rows[r].lower, m.rows[r].upper)
                                  : std::fabs(g.rowDual[r]) < 1e-7L)
            return false;
    }
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const Column& c = m.columns[j];
        if (g.columnStatus[j] == 'b' ? !inside(g.columnValue[j], c.lower, c.upper)
                                     : std::fabs(g.columnDual[j]) < 1e-7L)
            return false;
    }
    return true;
}

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
