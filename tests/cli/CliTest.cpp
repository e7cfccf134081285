// kvado-cli as a user runs it: exit codes, the JSON answer, messages for bad input and the
// folder of the trace log.

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "../solver/TestSupport.h"
#include "CliRun.h"
#include "solver/Simplex.h"

namespace {

using kvado::LpProblem;
using kvado::Real;
using namespace kvado::test;

namespace fs = std::filesystem;

struct ExitCase {
    const char* name;
    std::string data;               // contents of the data file; empty: no file at all
    std::vector<std::string> extra; // arguments after the file name
    int exitCode;
    std::vector<std::string> inErr; // texts standard error must hold ("@" stands for the path)
    const char* status;             // --json status, nullptr when no answer is expected
};

void PrintTo(const ExitCase& c, std::ostream* os) {
    *os << c.name;
}

class CliExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(CliExit, EndsWithItsCodeAndMessage) {
    const auto& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("problem.dat");
    if (!c.data.empty()) writeBytes(path, c.data);
    std::vector<std::string> args = {"solve", path, "--json"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const CliRun run = runCli(args, dir.path());
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    for (std::string text : c.inErr) {
        if (text.starts_with("@")) text = path + text.substr(1);
        EXPECT_NE(run.err.find(text), std::string::npos)
            << "\"" << text << "\" not in: " << run.err;
    }
    if (c.status) {
        EXPECT_EQ(jsonField(run.out, "status"), std::string(c.status)) << run.out;
        if (c.inErr.empty()) EXPECT_TRUE(run.err.empty()) << run.err;
    } else {
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliExit,
    ::testing::Values(
        ExitCase{"Optimal", "0 0 1 2 1E-8\n1 1\n-1 -1\n4\n", {}, 0, {}, "optimal"},
        ExitCase{"Infeasible", "1 0 1 1 1E-8\n1\n1\n1\n5 3\n", {}, 2, {}, "infeasible"},
        ExitCase{"Unbounded", "0 0 1 2 1E-8\n1 -1\n-1 0\n1\n", {}, 3, {}, "unbounded"},
        // The counts and numbers may stand on any lines, separated by tabs.
        ExitCase{"AnyLayout", "0\t0\n1\n2\n1E-8 1 1 -1\r\n-1 4", {}, 0, {}, "optimal"},
        // A file that ends early reads zeros for the missing numbers (here C[2] and B[1]), and
        // says so.
        ExitCase{"ShortFile",
                 "0 0 1 2 1E-8\n1 1\n-1",
                 {},
                 0,
                 {"@: Файл закончился раньше: 2 чисел прочитаны как 0"},
                 "optimal"},
        ExitCase{"NoConstraints", "0 0 0 2 1E-8\n1 2\n", {}, 0, {}, "optimal"},
        ExitCase{"MissingFile", "", {}, 1, {"@"}, nullptr},
        ExitCase{"NotANumber",
                 "0 0 1 2 1E-8\n1 abc\n-1 -1\n4\n",
                 {},
                 1,
                 {"@", "Invalid numeric input"},
                 nullptr},
        ExitCase{"RealCount",
                 "0 0 1.5 2 1E-8\n1 1\n-1 -1\n4\n",
                 {},
                 1,
                 {"@", "Invalid numeric input"},
                 nullptr},
        ExitCase{"EpsZero", "0 0 1 2 0\n1 1\n-1 -1\n4\n", {}, 1, {"@", "Eps"}, nullptr},
        ExitCase{"EpsNegative", "0 0 1 2 -1E-8\n1 1\n-1 -1\n4\n", {}, 1, {"@", "Eps"}, nullptr},
        ExitCase{"NegativeRightHandSide",
                 "0 0 3 1 1E-8\n1 1 1\n-1\n3 -2 4\n",
                 {},
                 1,
                 {"@", "B[2]"},
                 nullptr},
        ExitCase{"NegativeCount", "0 -1 1 1 1E-8\n1\n1\n1\n", {}, 1, {"@", "negative"}, nullptr},
        ExitCase{"CountsTooLarge", "1 1 1 2000000000 1E-8\n", {}, 1, {"@"}, nullptr},
        ExitCase{
            "CountsOverflowTogether", "2000000000 2000000000 1 1 1E-8\n", {}, 1, {"@"}, nullptr},
        ExitCase{"LogFolderMissing",
                 "0 0 1 2 1E-8\n1 1\n-1 -1\n4\n",
                 {"--log-dir", "/no/such/dir"},
                 1,
                 {"/no/such/dir"},
                 nullptr},
        ExitCase{
            "UnknownOption", "0 0 1 2 1E-8\n1 1\n-1 -1\n4\n", {"--fast"}, 1, {"usage"}, nullptr},
        ExitCase{"LogDirWithoutFolder",
                 "0 0 1 2 1E-8\n1 1\n-1 -1\n4\n",
                 {"--log-dir"},
                 1,
                 {"usage"},
                 nullptr}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

TEST(Cli, UsageWithoutACommand) {
    TempDir dir;
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"solve"}, {"optimise"}}) {
        const CliRun run = runCli(args, dir.path());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("usage"), std::string::npos) << run.err;
    }
}

// Counts whose arrays would take gigabytes are refused before anything is allocated: the run
// ends cleanly even with its address space limited to 512 MiB.
TEST(Cli, HugeCountsAllocateNothing) {
#if defined(KVADO_TEST_ASAN)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
    TempDir dir;
    writeBytes(dir.file("huge.dat"), "1 1 1 2000000000 1E-8\n");
    const CliRun run = runCli({"solve", dir.file("huge.dat")}, dir.path(), "ulimit -v 524288 &&");
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err.find("out of memory"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("huge.dat"), std::string::npos) << run.err;
#endif
}

// The JSON numbers carry enough digits to give back the extended values bit for bit.
TEST(Cli, JsonRoundTripsTheExtendedValues) {
    ProblemData d;
    d.G = 2;
    d.L = 1;
    d.N = 3;
    d.A = {{3, 0, 1}, {0, 7, 1}, {1, 1, 1}};
    d.C = {1, 1, 0.9L}; // optimum X = (1/3, 2/7, 0)
    d.B = {1, 2, 10};
    TempDir dir;
    writeBytes(dir.file("p.dat"), dataFileText(d));
    const CliRun run = runCli({"solve", dir.file("p.dat"), "--json"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;

    Solved s;
    solveProblem(d, s);
    const LpProblem& p = s.problem;
    EXPECT_EQ(jsonNumber(run.out, "objective"), std::optional<Real>(-p.inverse(p.M + 1, 0)));
    EXPECT_EQ(jsonNumber(run.out, "passes"), std::optional<Real>(p.pass));
    const auto x = jsonNumbers(run.out, "x");
    ASSERT_EQ(x.size(), 3u) << run.out;
    for (int32_t j = 1; j <= 3; ++j)
        EXPECT_EQ(x[static_cast<size_t>(j - 1)], p.solution[static_cast<size_t>(j)]) << "x" << j;
    const auto pi = jsonNumbers(run.out, "pi");
    ASSERT_EQ(pi.size(), 3u) << run.out;
    for (int32_t i = 1; i <= 3; ++i)
        EXPECT_EQ(pi[static_cast<size_t>(i - 1)], p.inverse(p.M + 1, i)) << "pi" << i;
    // A double's 17 digits would not do: the values use all 64 bits of the mantissa.
    EXPECT_NE(p.solution[1], static_cast<Real>(static_cast<double>(p.solution[1])));
    EXPECT_NE(p.solution[2], static_cast<Real>(static_cast<double>(p.solution[2])));
}

const char* const kFirstExample = "0 0 1 2 1E-8\r\n1 1\r\n-1 -1\r\n4\r\n";

std::vector<std::string> firstExampleLog() {
    return {"ОГРАНИЧЕНИЕ  СОСТОЯНИЕ    ДОПОЛНИТЕЛЬНЫЕ ПЕРЕМЕННЫЕ",
            " 1            0.0000",
            " X (небазисные, то есть равные нулю): ",
            "  X[  2] = 0    X[  3] = 0  ",
            "",
            "",
            " Коэффициенты при неизвестных в целевой функции: ",
            "",
            " C[  1] =    0.000   C[  2] =    0.000   C[  3] =    1.000  ",
            ""};
}

TEST(Cli, LogGoesToTheLogFolder) {
    TempDir work, logs;
    writeBytes(work.file("p.dat"), kFirstExample);
    const CliRun run = runCli({"solve", "p.dat", "--log-dir", logs.path()}, work.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readBytes(logs.file("Kvaq.log")), logBytes(firstExampleLog()));
    EXPECT_FALSE(fs::exists(work.file("Kvaq.log")));
}

TEST(Cli, LogGoesToTheCurrentFolderByDefault) {
    TempDir work;
    writeBytes(work.file("p.dat"), kFirstExample);
    const CliRun run = runCli({"solve", "p.dat"}, work.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readBytes(work.file("Kvaq.log")), logBytes(firstExampleLog()));
    // Without --json the report's text.
    EXPECT_NE(run.out.find("Значение = -4.00"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("X[  1] ("), std::string::npos) << run.out;
}

// The sum of the artificial variables is written with the CLI's decimal point.
TEST(Cli, InfeasibleLogHoldsTheSum) {
    TempDir work;
    writeBytes(work.file("p.dat"), "1 0 1 1 1E-8\n1\n1\n1\n5.5 3\n");
    const CliRun run = runCli({"solve", "p.dat"}, work.path());
    ASSERT_EQ(run.exitCode, 2) << run.err;
    const auto lines = logLines(readBytes(work.file("Kvaq.log")));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Ограничения не имеют допустимого решения");
    EXPECT_EQ(lines[1], "Сумма искусственных переменных равна ");
    EXPECT_EQ(lines[2], "2.5");
}

} // namespace
