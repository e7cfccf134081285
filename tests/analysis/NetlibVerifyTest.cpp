// The exact check on the Netlib problems, where the method reaches the published optima: each
// answer must be proved optimal, at an exact optimum that is the published one.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "../cli/CliRun.h"
#include "../solver/TestSupport.h"
#include "analysis/Verify.h"
#include "datafile/DataFile.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;

std::vector<std::string> netlibProblems() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(KVADO_NETLIB_DIR, ec))
        if (entry.path().extension() == ".json") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class NetlibVerify : public ::testing::TestWithParam<std::string> {};

TEST_P(NetlibVerify, MethodsOptimumIsProved) {
#if defined(KVADO_TEST_ASAN)
    // Its check takes a few exact pivots from the method's basis, ten seconds under the
    // sanitizers (half a second in a Release build).
    if (GetParam() == "capri") GTEST_SKIP() << "slow under the sanitizers";
#endif
    const std::string base = std::string(KVADO_NETLIB_DIR) + "/" + GetParam();
    const std::string expected = test::readBytes(base + ".json");
    const auto objective = test::jsonNumber(expected, "expected_objective");
    const auto sign = test::jsonNumber(expected, "objective_sign");
    const auto offset = test::jsonNumber(expected, "objective_offset");
    ASSERT_TRUE(objective && sign && offset);

    LpProblem p;
    datafile::readDataFile(readFileBytes(base + ".dat"), p);
    test::TempDir dir;
    TraceLog log(dir.path());
    test::RecordingHost host;
    const SolveOutcome outcome = solve(p, log, host);
    ASSERT_EQ(outcome, SolveOutcome::Optimal);

    const auto started = std::chrono::steady_clock::now();
    const Verification v = verify(p, outcome, VerifyOptions::unlimited(nullptr, '.'));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(v.verdict, Verdict::Optimal) << v.reason;
    const Real published = *sign * v.objectiveValue + *offset;
    EXPECT_LE(std::fabs(published - *objective), 1e-6L * std::max(Real(1), std::fabs(*objective)));
    // The method's 80-bit optimum is close to the exact one.
    EXPECT_LE(std::fabs(v.objectiveError), 1e-9L * std::max(Real(1), std::fabs(v.objectiveValue)));
    std::printf("%-10s M=%4d  %.3f s\n", GetParam().c_str(), p.M, seconds);
}

INSTANTIATE_TEST_SUITE_P(Problems, NetlibVerify,
                         ::testing::ValuesIn(kvado::test::ofThisLocale(netlibProblems())),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(NetlibVerify);

} // namespace
