// Both integer searches against an independent one: glpsol solves random small integer models
// (pure and mixed, binary and general integers, every row and bound kind, either sense) from
// our MPS write, and the own branch and bound and GLPK's branch and cut must give the same
// status and objective, with a plan that the exact check finds integral and feasible.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "../model/ModelTestSupport.h"
#include "RequiredInput.h"
#include "mip/MipCheck.h"
#include "mip/MipSolve.h"
#include "model/ModelFiles.h"

namespace {

using namespace kvado;
using namespace kvado::model;
using namespace kvado::test;

struct GlpsolMip {
    char status = 'u'; // o optimal, n no integer plan, u undefined
    bool unbounded = false;
    Real objective = 0;
};

// glpsol on our MPS write of `m` (without its costs: `feasibility`).
GlpsolMip runGlpsolMip(const TempDir& dir, const Model& m, bool feasibility) {
    // glpsol reads an objective row's RHS as the constant itself and knows no OBJSENSE
    // section: both are left out of its file.
    Model forGlpsol = m;
    forGlpsol.objectiveConstant = 0;
    if (feasibility)
        for (Column& c : forGlpsol.columns)
            c.cost = 0;
    std::string mps = writeMps(forGlpsol);
    const std::string objsense = "OBJSENSE\n    MAX\n";
    if (const auto at = mps.find(objsense); at != std::string::npos) mps.erase(at, objsense.size());
    writeBytes(dir.file("model.mps"), mps);
    const bool max = m.sense == Sense::Maximize;
    const std::string sol = dir.file("answer.sol"), out = dir.file("answer.out");
    std::remove(sol.c_str());
    const std::string cmd = "glpsol --freemps " + dir.file("model.mps") + (max ? " --max" : "") +
                            " -w " + sol + " >" + out + " 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    GlpsolMip g;
    std::ifstream in(sol);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string tag, mip;
        int m, n;
        long double z;
        if (s >> tag && tag == "s" && s >> mip >> m >> n >> g.status >> z) g.objective = z;
    }
    std::ifstream log(out);
    const std::string text((std::istreambuf_iterator<char>(log)), {});
    // "LP RELAXATION HAS NO DUAL FEASIBLE SOLUTION" (its presolver) or "... UNBOUNDED ...".
    g.unbounded = text.find("UNBOUNDED") != std::string::npos ||
                  text.find("NO DUAL FEASIBLE") != std::string::npos;
    if (text.find("NO PRIMAL FEASIBLE") != std::string::npos) g.status = 'n';
    return g;
}

TEST(MipGlpsol, BothSearchesAgreeWithGlpsolOnRandomIntegerModels) {
    KVADO_REQUIRE_INPUT(std::system("command -v glpsol >/dev/null 2>&1") == 0, "glpsol");
    TempDir dir;
    std::mt19937 rng(20261209);
    int counts[3] = {}; // optimal, infeasible, unbounded
    for (int round = 0; round < 300; ++round) {
        Model m = randomModel(rng, 6, 6, true, true);
        markIntegers(rng, m, round % 4 == 0); // every fourth pure integer
        SCOPED_TRACE(writeLp(m));
        const GlpsolMip g = runGlpsolMip(dir, m, false);
        ASSERT_TRUE(g.unbounded || g.status == 'o' || g.status == 'n') << g.status;
        // An unbounded relaxation: the model is unbounded when it has an integer plan at all,
        // which glpsol tells on the model without costs.
        const mip::MipStatus expected =
            g.unbounded ? (runGlpsolMip(dir, m, true).status == 'o' ? mip::MipStatus::Unbounded
                                                                    : mip::MipStatus::Infeasible)
            : g.status == 'o' ? mip::MipStatus::Optimal
                              : mip::MipStatus::Infeasible;
        ++counts[expected == mip::MipStatus::Optimal      ? 0
                 : expected == mip::MipStatus::Infeasible ? 1
                                                          : 2];
        for (const mip::MipEngine engine : {mip::MipEngine::Own, mip::MipEngine::Glpk}) {
            mip::MipOptions o;
            o.engine = engine;
            const mip::MipAnswer a = mip::solveMip(m, o);
            SCOPED_TRACE(mip::mipEngineName(engine));
            ASSERT_EQ(a.status, expected) << a.failure;
            if (expected != mip::MipStatus::Optimal) continue;
            EXPECT_NEAR(static_cast<double>(a.objective - m.objectiveConstant),
                        static_cast<double>(g.objective),
                        1e-6 * std::max(1.0, std::fabs(static_cast<double>(g.objective))));
            const mip::IntegerCheck c = mip::checkIntegerPlan(m, a.plan);
            EXPECT_TRUE(c.integral);
            EXPECT_TRUE(c.feasible || c.withinTolerance()) << c.where << " " << c.largestViolation;
            EXPECT_NEAR(static_cast<double>(c.objective), static_cast<double>(a.objective), 1e-9);
            if (engine == mip::MipEngine::Own) {
                // The tree holds the answer's node, every solved node in the order searched.
                ASSERT_GE(a.tree.incumbent, 0);
                EXPECT_EQ(a.tree.nodes[static_cast<size_t>(a.tree.incumbent)].fate,
                          mip::NodeFate::Integer);
                int64_t solved = 0;
                for (const mip::MipNode& n : a.tree.nodes)
                    solved += n.order >= 0 ? 1 : 0;
                EXPECT_EQ(solved, a.nodes);
            }
        }
    }
    // The sample holds every outcome.
    EXPECT_GE(counts[0], 100);
    EXPECT_GE(counts[1], 20);
    EXPECT_GE(counts[2], 5);
}

// A stopped search keeps the best plan it found, and says it is not proved.
TEST(MipGlpsol, TimeLimitKeepsTheBestPlan) {
    Model m;
    m.sense = Sense::Maximize;
    // Even weights and an odd capacity: every relaxation fills it to 101, no plan does, and the
    // search needs far more nodes than it is given.
    for (int j = 0; j < 30; ++j) {
        Column c;
        c.name = "x" + std::to_string(j);
        c.kind = ColumnKind::Binary;
        c.upper = 1;
        c.cost = 2 * (j % 7) + 12;
        m.columns.push_back(c);
        m.entries.push_back({0, j, c.cost});
    }
    m.rows.push_back(lessRow("cap", 101));
    mip::MipOptions o;
    o.engine = mip::MipEngine::Own;
    bool enough = false;
    o.progress = [&enough](const mip::MipProgress& p) { enough = p.nodes >= 60; };
    o.stopRequested = [&enough] { return enough; };
    const mip::MipAnswer a = mip::solveMip(m, o);
    ASSERT_EQ(a.status, mip::MipStatus::Feasible);
    EXPECT_EQ(a.nodes, 60);
    EXPECT_TRUE(a.hasBound);
    EXPECT_NEAR(static_cast<double>(a.bound), 101, 1e-9);
    EXPECT_LE(a.objective, 100);
    EXPECT_GT(a.gap, 0);
    bool open = false;
    for (const mip::MipNode& n : a.tree.nodes)
        open = open || n.fate == mip::NodeFate::Open;
    EXPECT_TRUE(open);
}

} // namespace
