// The Netlib problems from their original MPS files (bounds, ranges, free columns, negative
// right-hand sides): read, transformed, solved by the solver and mapped back, each must reach
// its published optimum with a plan that meets the user's own rows and bounds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "../cli/CliRun.h"
#include "ModelTestSupport.h"
#include "model/ModelFiles.h"

namespace {

using namespace kvado;
using namespace kvado::model;
using namespace kvado::test;
namespace fs = std::filesystem;

// The build's folder, or KVADO_NETLIB_DIR from the environment (a worktree elsewhere).
std::string netlibDir() {
    if (const char* env = std::getenv("KVADO_NETLIB_DIR")) return env;
    return KVADO_NETLIB_DIR;
}

std::vector<std::string> problems() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(std::string(netlibDir()) + "/mps", ec))
        if (e.path().extension() == ".mps") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(NetlibMpsSet, IsComplete) {
    if (!fs::is_directory(netlibDir())) GTEST_SKIP() << netlibDir() << " is missing";
    EXPECT_EQ(problems().size(), 23u);
}

// e226's RHS section gives its objective row -7.113: the objective constant is +7.113, and the
// published optimum is c·x without it.
TEST(NetlibMpsSet, ObjectiveRowRhsIsTheNegatedConstant) {
    const std::string path = std::string(netlibDir()) + "/mps/e226.mps";
    if (!fs::exists(path)) GTEST_SKIP();
    EXPECT_EQ(readMps(readBytes(path), "e226.mps").objectiveConstant, 7.113L);
}

// The original blend leaves the RHS set's name blank: the fixed columns tell.
TEST(NetlibMpsSet, BlankRhsNameInFixedColumns) {
    const std::string dir = std::string(netlibDir()) + "/mps/";
    if (!fs::exists(dir + "variants/blend_fixed_blank_rhs_name.mps")) GTEST_SKIP();
    const Model a = readMps(readBytes(dir + "blend.mps"), "blend.mps");
    const Model b =
        readMps(readBytes(dir + "variants/blend_fixed_blank_rhs_name.mps"), "blend.mps");
    ASSERT_EQ(a.rows.size(), b.rows.size());
    for (size_t r = 0; r < a.rows.size(); ++r)
        EXPECT_EQ(rightHandSide(a.rows[r]), rightHandSide(b.rows[r])) << a.rows[r].name;
}

class NetlibMps : public ::testing::TestWithParam<std::string> {};

TEST_P(NetlibMps, ReachesThePublishedOptimum) {
    const std::string name = GetParam();
    const std::string json = readBytes(std::string(netlibDir()) + "/" + name + ".json");
    const auto expected = jsonNumber(json, "expected_objective");
    ASSERT_TRUE(expected.has_value());
    std::vector<std::string> notes;
    const Model m = readMps(readBytes(std::string(netlibDir()) + "/mps/" + name + ".mps"),
                            name + ".mps", &notes);
    const ModelSolve s = solveModel(m);
    ASSERT_TRUE(s.sf.infeasible.empty()) << s.sf.infeasible;
    ASSERT_EQ(s.outcome, SolveOutcome::Optimal);
    const Real reached = s.user.objective - m.objectiveConstant;
    EXPECT_LE(std::fabs(reached - *expected), 1e-6L * std::max<Real>(1, std::fabs(*expected)))
        << "published " << static_cast<double>(*expected) << ", reached "
        << static_cast<double>(reached);

    // The plan in the user's terms meets the user's rows and bounds, and its objective is the
    // one reported.
    Real cx = m.objectiveConstant;
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const Real x = s.user.columnValue[j];
        const Column& c = m.columns[j];
        EXPECT_GE(x, c.lower - 1e-7L * std::max<Real>(1, std::fabs(c.lower))) << c.name;
        EXPECT_LE(x, c.upper + 1e-7L * std::max<Real>(1, std::fabs(c.upper))) << c.name;
        cx += c.cost * x;
    }
    EXPECT_LE(std::fabs(cx - s.user.objective), 1e-7L * std::max<Real>(1, std::fabs(cx)));
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const Row& row = m.rows[r];
        const Real a = s.user.rowActivity[r];
        EXPECT_GE(a, row.lower - 1e-6L * std::max<Real>(1, std::fabs(row.lower))) << row.name;
        EXPECT_LE(a, row.upper + 1e-6L * std::max<Real>(1, std::fabs(row.upper))) << row.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Problems, NetlibMps,
                         ::testing::ValuesIn(kvado::test::ofThisLocale(problems())),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string n = info.param;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(NetlibMps);

} // namespace
