// The Netlib problems through the real command-line program: each must reach its published
// optimum. The published value is sign * Z + offset, where Z is the minimum of the data file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "CliRun.h"
#include "RequiredInput.h"

namespace {

using kvado::Real;
using namespace kvado::test;

namespace fs = std::filesystem;

std::vector<std::string> netlibProblems() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(KVADO_NETLIB_DIR, ec))
        if (entry.path().extension() == ".json") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(NetlibSet, IsComplete) {
    KVADO_REQUIRE_INPUT(fs::is_directory(KVADO_NETLIB_DIR), KVADO_NETLIB_DIR);
    EXPECT_EQ(netlibProblems().size(), 23u);
}

class Netlib : public ::testing::TestWithParam<std::string> {};

TEST_P(Netlib, ReachesThePublishedOptimum) {
    const std::string base = std::string(KVADO_NETLIB_DIR) + "/" + GetParam();
    const std::string expected = readBytes(base + ".json");
    const auto status = jsonField(expected, "expected_status");
    const auto objective = jsonNumber(expected, "expected_objective");
    const auto sign = jsonNumber(expected, "objective_sign");
    const auto offset = jsonNumber(expected, "objective_offset");
    ASSERT_TRUE(status && objective && sign && offset) << "incomplete " << base << ".json";

    TempDir logDir;
    const CliRun run =
        runCli({"solve", base + ".dat", "--json", "--log-dir", logDir.path()}, logDir.path());
    EXPECT_EQ(run.exitCode, *status == "optimal" ? 0 : *status == "infeasible" ? 2 : 3) << run.err;
    EXPECT_EQ(jsonField(run.out, "status"), status);
    const auto z = jsonNumber(run.out, "objective");
    ASSERT_TRUE(z.has_value()) << run.out;
    const Real published = *sign * *z + *offset;
    EXPECT_LE(std::fabs(published - *objective), 1e-6L * std::max(Real(1), std::fabs(*objective)))
        << "published " << static_cast<double>(*objective) << ", reached "
        << static_cast<double>(published);
    EXPECT_TRUE(fs::exists(logDir.file("Kvaq.log")));
}

INSTANTIATE_TEST_SUITE_P(
    Problems, Netlib, ::testing::ValuesIn(kvado::test::ofThisLocale(netlibProblems())),
    [](const ::testing::TestParamInfo<std::string>& info) {
        std::string name = info.param;
        std::replace_if(
            name.begin(), name.end(),
            [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Netlib);

} // namespace
