// kvado-cli with LP and MPS files: the Netlib originals solved through the program to their
// published optima, the answer in the user's terms, convert between the three formats, and a
// reader's error as the user sees it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CliRun.h"
#include "model/ModelFiles.h"

namespace {

using namespace kvado;
using namespace kvado::test;
namespace fs = std::filesystem;

std::string netlibDir() {
    if (const char* env = std::getenv("KVADO_NETLIB_DIR")) return env;
    return KVADO_NETLIB_DIR;
}

// The "model" object of a JSON answer, whose keys repeat the outer ones.
std::string modelPart(const std::string& json) {
    const auto at = json.find("\"model\": ");
    return at == std::string::npos ? std::string() : json.substr(at + 9);
}

std::vector<std::string> mpsProblems() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(netlibDir() + "/mps", ec))
        if (e.path().extension() == ".mps") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class CliNetlibMps : public ::testing::TestWithParam<std::string> {};

// The published optima leave out the objective constant (e226's RHS entry on its objective
// row): the answer in the user's terms carries it.
TEST_P(CliNetlibMps, ReachesThePublishedOptimum) {
    const std::string mps = netlibDir() + "/mps/" + GetParam() + ".mps";
    const auto expected =
        jsonNumber(readBytes(netlibDir() + "/" + GetParam() + ".json"), "expected_objective");
    ASSERT_TRUE(expected.has_value());
    const Real constant = model::readMps(readBytes(mps), "x.mps").objectiveConstant;
    TempDir dir;
    const CliRun run = runCli({"solve", mps, "--json", "--log-dir", dir.path()}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string user = modelPart(run.out);
    EXPECT_EQ(jsonField(user, "sense"), "min");
    const auto z = jsonNumber(user, "objective");
    ASSERT_TRUE(z.has_value()) << run.out;
    EXPECT_LE(std::fabs(*z - constant - *expected), 1e-6L * std::max<Real>(1, std::fabs(*expected)))
        << static_cast<double>(*z);
}

INSTANTIATE_TEST_SUITE_P(Problems, CliNetlibMps,
                         ::testing::ValuesIn(kvado::test::ofThisLocale(mpsProblems())),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string n = info.param;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CliNetlibMps);

const char* kTextbook = "max: 3x + 5y\nst\n x <= 4\n 2y <= 12\n 3x + 2y <= 18\nend\n";

TEST(CliModel, TextbookProblemInTheUsersTerms) {
    TempDir dir;
    writeBytes(dir.file("book.txt"), kTextbook);
    const CliRun json =
        runCli({"solve", "book.txt", "--format", "lp", "--json", "--engine", "method"}, dir.path());
    ASSERT_EQ(json.exitCode, 0) << json.err;
    // The method's standard form minimises -3x - 5y; the user's answer is the maximum.
    EXPECT_EQ(jsonNumber(json.out, "objective"), -36);
    EXPECT_EQ(modelPart(json.out),
              "{\"sense\": \"max\", \"objective\": 36, \"columns\": [{\"name\": \"x\", \"value\": "
              "2, \"marginal\": 0}, {\"name\": \"y\", \"value\": 6, \"marginal\": 0}], \"rows\": "
              "[{\"name\": \"R1\", \"activity\": 2, \"marginal\": 0}, {\"name\": \"R2\", "
              "\"activity\": 12, \"marginal\": 1.5}, {\"name\": \"R3\", \"activity\": 18, "
              "\"marginal\": 1}]}}\n");
    const CliRun text = runCli({"solve", "book.txt", "--format", "lp"}, dir.path());
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("   Решение исходной задачи\n \nМаксимум = 36\n"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("R2 = 12   1.5\n"), std::string::npos) << text.out;
    // The saved report ends as the printed one does.
    ASSERT_EQ(
        runCli({"solve", "book.txt", "--format", "lp", "--rtf", "r.rtf"}, dir.path()).exitCode, 0);
    ASSERT_EQ(std::system(
                  ("unrtf --text " + dir.file("r.rtf") + " > " + dir.file("r.txt") + " 2>/dev/null")
                      .c_str()),
              0);
    EXPECT_NE(readBytes(dir.file("r.txt")).find("R2 = 12   1.5"), std::string::npos);
}

// LP -> data file -> solve: the data file's problem is the standard form, named as it is.
TEST(CliModel, ConvertBetweenTheFormats) {
    TempDir dir;
    writeBytes(dir.file("book.lp"), kTextbook);
    const CliRun toDat = runCli({"convert", "book.lp", "book.dat"}, dir.path());
    ASSERT_EQ(toDat.exitCode, 0) << toDat.err;
    EXPECT_EQ(toDat.out, "Задача приведена к стандартному виду: максимум заменен минимумом "
                         "(коэффициенты цели умножены на -1).\n");
    const CliRun dat = runCli({"solve", "book.dat", "--json"}, dir.path());
    ASSERT_EQ(dat.exitCode, 0) << dat.err;
    EXPECT_EQ(jsonNumber(modelPart(dat.out), "objective"), -36);
    EXPECT_NE(dat.out.find("{\"name\": \"R2\", \"activity\": 12, \"marginal\": -1.5}"),
              std::string::npos)
        << dat.out;

    ASSERT_EQ(runCli({"convert", "book.lp", "book.mps"}, dir.path()).exitCode, 0);
    const CliRun mps = runCli({"solve", "book.mps", "--json"}, dir.path());
    EXPECT_EQ(modelPart(mps.out),
              modelPart(runCli({"solve", "book.lp", "--json"}, dir.path()).out));
}

TEST(CliModel, ReaderErrorNamesFileAndLine) {
    TempDir dir;
    writeBytes(dir.file("bad.lp"), "max: 3x\nst\n c: x + 2 3 y <= 4\n");
    const CliRun run = runCli({"solve", "bad.lp"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "kvado-cli: bad.lp: строка 3: ожидался знак +, - или знак отношения (<=, "
                       ">=, =), найдено '3'\n");
    writeBytes(dir.file("empty.lp"), "min: x\nst\n c: x >= 1\n never: 0 x >= 2\n");
    const CliRun infeasible = runCli({"solve", "empty.lp", "--json"}, dir.path());
    EXPECT_EQ(infeasible.exitCode, 2);
    EXPECT_EQ(jsonField(infeasible.out, "status"), "infeasible");
    EXPECT_EQ(infeasible.err, "kvado-cli: empty.lp: Задача не имеет допустимого решения: "
                              "ограничение «never» не содержит неизвестных и требует 0 >= 2\n");
}

// A conflict the transformation finds before any solve is explained as a solve's would be: the
// row with its multiplier (">=" side +1, "<=" side -1) and the fixed columns it rests on, or
// the column whose bounds cross.
TEST(CliModel, ConflictsFoundBeforeTheSolveAreExplained) {
    const struct {
        const char* rows;
        const char* bounds;
        const char* member;
    } cases[] = {
        {" c2: x >= 5\n", " x = 2\n",
         "\"certificate\": [{\"name\": \"c2\", \"multiplier\": 1}], \"iis\": [\"c2\"], "
         "\"iis_bounds\": [\"x\"]"},
        {" c2: x - y <= -1\n", " x = 2\n y = 1\n",
         "\"certificate\": [{\"name\": \"c2\", \"multiplier\": -1}], \"iis\": [\"c2\"], "
         "\"iis_bounds\": [\"x\", \"y\"]"},
        {"", " 3 <= y <= 1\n", "\"certificate\": [], \"iis\": [], \"iis_bounds\": [\"y\"]"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        writeBytes(dir.file("m.lp"),
                   std::string("Minimize\n obj: x + y\nSubject To\n c1: x + y >= 1\n") + c.rows +
                       "Bounds\n" + c.bounds + "End\n");
        const CliRun run = runCli({"solve", "m.lp", "--json"}, dir.path());
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.out.find(std::string("\"infeasibility\": {") + c.member + "}}"),
                  std::string::npos)
            << run.out;
    }
}

} // namespace
