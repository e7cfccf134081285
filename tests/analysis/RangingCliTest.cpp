// kvado-cli solve --ranges: the section at the end of the text and the "ranges" JSON member,
// with the names of the name files.
#include <gtest/gtest.h>

#include "../cli/CliRun.h"

namespace {

using namespace kvado::test;

TEST(RangingCli, SectionAndJsonMemberWithTheNameFilesNames) {
    TempDir dir;
    // The product mix (optimum x1 = 2, x2 = 6); the second unknown has no name line.
    writeBytes(dir.file("p.dat"), "0 0 3 2 1E-9\n1 0\n0 2\n3 2\n-3 -5\n4 12 18\n");
    writeBytes(dir.file("p.ogran"), "Станки\r\nСырьё\r\nЧасы\r\n");
    writeBytes(dir.file("p.neizv"), "Столы\r\n");
    const CliRun json = runCli({"solve", "p.dat", "--json", "--ranges"}, dir.path());
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NE(json.out.find("\"ranges\": {\"degenerate\": false, \"other_optima\": "
                            "false, \"columns\": [{\"name\": \"Столы\", \"status\": \"basic\""),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("{\"name\": \"X[2]\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"limiting_at_rhs_lower\": \"Станки\", \"limiting_at_rhs_upper\": "
                            "\"Столы\"}, {\"name\": \"Часы\""),
              std::string::npos)
        << json.out;
    EXPECT_EQ(json.out.substr(json.out.size() - 5), "}]}}\n");

    const CliRun text = runCli({"solve", "p.dat", "--ranges"}, dir.path());
    const auto at = text.out.find("\n Анализ чувствительности\n");
    ASSERT_NE(at, std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nB[  2]        Сырьё <=               12           12            6"
                            "          -27            6  Станки\n",
                            at),
              std::string::npos)
        << text.out;
    // Without the option nothing changes; without an optimum there is nothing to range.
    EXPECT_EQ(runCli({"solve", "p.dat"}, dir.path()).out.find("Анализ"), std::string::npos);
    writeBytes(dir.file("q.dat"), "1 0 1 1 1E-9\n1\n1\n0\n5 3\n");
    EXPECT_NE(
        runCli({"solve", "q.dat", "--json", "--ranges"}, dir.path()).out.find("\"ranges\": null}"),
        std::string::npos);
}

// An LP file is ranged in its own terms: the product mix stated as a maximisation, worked on
// paper (x1 = 2, x2 = 6, profit 36): the profit per x1 may lie in [0, 7.5], per x2 above 2;
// an hour of c3 is worth 1 over [12, 24].
TEST(RangingCli, AnLpModelInItsOwnTerms) {
    TempDir dir;
    writeBytes(dir.file("p.lp"), "Maximize\n profit: 3 x1 + 5 x2\nSubject To\n c1: x1 <= 4\n"
                                 " c2: 2 x2 <= 12\n c3: 3 x1 + 2 x2 <= 18\nEnd\n");
    const CliRun run = runCli({"solve", "p.lp", "--json", "--ranges"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const char* expected :
         {"{\"name\": \"x1\", \"status\": \"basic\", \"value\": 2, \"cost\": 3, "
          "\"reduced_cost\": 0, \"cost_lower\": 0, \"cost_upper\": 7.5, "
          "\"objective_at_cost_lower\": 30, \"objective_at_cost_upper\": 45",
          "\"cost_lower\": 2, \"cost_upper\": null",
          "{\"name\": \"c3\", \"activity\": 18, \"rhs\": 18, \"shadow_price\": 1, "
          "\"rhs_lower\": 12, \"rhs_upper\": 24"})
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
}

} // namespace
