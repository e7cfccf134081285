// kvado-cli solve --verify / --exact: the exact check's and the exact solve's JSON members.

#include <gtest/gtest.h>

#include "CliRun.h"

namespace {

using namespace kvado::test;

struct Case {
    const char* name;
    const char* data;
    std::vector<std::string> flags;
    int exitCode;
    const char* verdict;   // nullptr: no "verification" member
    const char* exact;     // "null", a status, or nullptr: no "exact" member
    const char* objective; // objective_exact of the verification
};

TEST(CliVerify, ExactMembers) {
    const char* primer = "1 1 1 2 1E-8\n1 1\n1 -1\n1 0\n1 2\n2 1 3\n";
    const char* bounded = "0 0 1 1 1E-8\n0.5\n-1\n1\n";
    // The column's only entry is below Eps: the method calls the objective unbounded.
    const char* falseUnbounded = "0 0 1 1 1E-8\n1E-10\n-1\n1\n";
    // 0.3 / 0.1 is 3 for the decimals as written, not for their binary roundings.
    const char* decimals = "0 0 1 1 1E-8\n0.1\n-1\n0.3\n";
    const Case cases[] = {
        {"plain solve", primer, {}, 0, nullptr, nullptr, nullptr},
        {"the decimals as written", decimals, {"--verify"}, 0, "optimal", nullptr, "-3/1"},
        {"time limit",
         primer,
         {"--exact", "--time-limit", "0.000000001"},
         0,
         "skipped",
         "stopped",
         nullptr},
        {"verified optimum", primer, {"--verify"}, 0, "optimal", nullptr, "5/2"},
        {"nothing to solve exactly", primer, {"--exact"}, 0, "optimal", "null", "5/2"},
        {"one row", bounded, {"--verify"}, 0, "optimal", nullptr, "-2/1"},
        {"false unbounded",
         falseUnbounded,
         {"--exact"},
         3,
         "unbounded_not_confirmed",
         "optimal",
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeBytes(dir.file("p.dat"), c.data);
        std::vector<std::string> args{"solve", dir.file("p.dat"), "--json", "--log-dir",
                                      dir.path()};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        const CliRun run = runCli(args, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(run.out.find("\"verification\": {") != std::string::npos, c.verdict != nullptr)
            << run.out;
        if (c.verdict) {
            EXPECT_EQ(jsonField(run.out, "verdict"), c.verdict) << run.out;
        }
        if (c.objective) {
            EXPECT_EQ(jsonField(run.out, "objective_exact"), c.objective);
        }
        if (!c.exact) {
            EXPECT_EQ(run.out.find("\"exact\""), std::string::npos);
        } else if (std::string(c.exact) == "null") {
            EXPECT_NE(run.out.find("\"exact\": null"), std::string::npos) << run.out;
        } else if (std::string(c.exact) == "stopped") {
            const std::string exact = run.out.substr(run.out.find("\"exact\": {"));
            EXPECT_EQ(jsonField(exact, "status"), c.exact);
            EXPECT_NE(jsonField(run.out, "reason")->find("время точной проверки истекло"),
                      std::string::npos);
        } else {
            const std::string exact = run.out.substr(run.out.find("\"exact\": {"));
            EXPECT_EQ(jsonField(exact, "status"), c.exact);
            // Z = −1/b exactly, b being 1E-10 in binary: −1E10 to 19 digits.
            const auto z = jsonNumber(exact, "objective");
            ASSERT_TRUE(z.has_value());
            EXPECT_NEAR(static_cast<double>(*z), -1e10, 1e-6);
        }
    }
}

} // namespace
