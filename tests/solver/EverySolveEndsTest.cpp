// Every solve ends. Problems on which the method's own rule goes round (random small problems
// with zero right-hand sides and a coarse Eps) end once the repeated basis is noticed, with
// glpsol's outcome; the pass limit and a stop end a solve with their own outcome and log line.
// (That the watch changes nothing in a solve that ends without it, the dense reference shows.)

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "../cli/CliRun.h"
#include "TestSupport.h"
#include "datafile/DataFile.h"
#include "text/Encoding.h"

namespace {

using kvado::LpProblem;
using kvado::SolveOutcome;
using namespace kvado::test;
namespace fs = std::filesystem;

const std::string kListing = "ОГРАНИЧЕНИЕ  СОСТОЯНИЕ    ДОПОЛНИТЕЛЬНЫЕ ПЕРЕМЕННЫЕ";

struct Solve : RecordingHost {
    LpProblem p;
    SolveOutcome outcome{};
    std::string log;
    int32_t stopAfter = 0, asks = 0;
    bool stopRequested() override { return ++asks == stopAfter; }
    // Loads with `load`, solves (without the cycle watch when `watch` is false).
    template <typename Load>
    Solve(Load load, bool watch = true, int32_t stop = 0) : stopAfter(stop) {
        load(p);
        TempDir dir;
        kvado::TraceLog file(dir.path());
        kvado::SolveOptions options;
        options.cycleWatch = watch;
        outcome = kvado::solve(p, file, *this, nullptr, options);
        log = readBytes(file.path());
    }
    // Whether the log holds these whole lines, one after the other.
    bool logHas(const std::vector<std::string>& lines) const {
        return log.find(logBytes(lines)) != std::string::npos;
    }
};
auto fromFile(const std::string& path) {
    return [path](LpProblem& p) { kvado::datafile::readDataFile(readBytes(path), p); };
}

// glpsol's verdict in exact arithmetic on the data file written as free MPS (by the
// benchmarks' converter), from the status line "s bas M N primal dual objective" of its
// solution file. Both read numbers by the C locale's rules.
::testing::AssertionResult sameAsGlpsol(const Solve& s, const std::string& file) {
    TempDir dir;
    const std::string command =
        "export LC_ALL=C; awk -f " KVADO_TEST_DATA "/../../bench/dat2mps.awk '" + file + "' >" +
        dir.file("p.mps") + " && glpsol --exact --nopresol --freemps " + dir.file("p.mps") +
        " -w " + dir.file("p.sol") + " >/dev/null";
    if (std::system(command.c_str()) != 0) return ::testing::AssertionFailure() << command;
    std::istringstream in(readBytes(dir.file("p.sol")));
    std::string tag, kind, primal, dual;
    int32_t m, n;
    double z = 0;
    while (in >> tag && tag != "s")
        in.ignore(1 << 20, '\n');
    in >> kind >> m >> n >> primal >> dual >> z;
    const SolveOutcome ref = primal == "n" ? SolveOutcome::Infeasible
                             : dual == "n" ? SolveOutcome::Unbounded
                                           : SolveOutcome::Optimal;
    const double ours = static_cast<double>(-s.p.inverse(s.p.M + 1, 0));
    if (s.outcome != ref ||
        (ref == SolveOutcome::Optimal && std::fabs(ours - z) > 1e-6 * std::max(1.0, std::fabs(z))))
        return ::testing::AssertionFailure()
               << int(s.outcome) << " " << ours << " vs glpsol " << primal << dual << " " << z;
    return ::testing::AssertionSuccess();
}

std::vector<std::string> files(const char* folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(std::string(KVADO_TEST_DATA) + "/" + folder))
        out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

// Without the watch the rule goes on far beyond need (a stop after 2000 passes ends it); with it
// the solve changes its rule once it has seen a basis come back and ends as glpsol does.
TEST(EverySolveEnds, ProblemsThatCycledEndAsGlpsolSays) {
    for (const auto& file : files("cycling")) {
        const Solve plain(fromFile(file), false, 2000), mended(fromFile(file));
        EXPECT_EQ(plain.outcome, SolveOutcome::Stopped) << file;
        EXPECT_LT(mended.p.pass, 500) << file;
        EXPECT_NE(mended.log.find(*kvado::text::utf8ToCp1251("Зацикливание: ")), std::string::npos);
        EXPECT_TRUE(sameAsGlpsol(mended, file)) << file;
    }
}

// Basic values pushed below zero by steps over entries below Eps: the objective rises and falls,
// no pivot rule ends it, the pass limit does. kvado-cli then gives no answer: exit code 4.
TEST(EverySolveEnds, PassLimitEndsWhatTheRuleCannot) {
    for (const auto& file : files("cycling-limit")) {
        const Solve s(fromFile(file));
        const int32_t limit = kvado::passLimit(s.p);
        EXPECT_EQ(limit, 50 * (s.p.M + s.p.N) + 10000);
        EXPECT_EQ(s.outcome, SolveOutcome::PassLimit);
        EXPECT_EQ(s.p.pass, limit);
        EXPECT_EQ(s.messages, std::vector<std::string>{kvado::passLimitMessage(limit)});
        EXPECT_TRUE(s.logHas(
            {"Превышено предельное число планов " + std::to_string(limit) + ", решение остановлено",
             kListing}));
        TempDir dir;
        const CliRun run = runCli({"solve", file, "--json"}, dir.path());
        EXPECT_EQ(run.exitCode, 4);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(jsonField(run.out, "status"), "pass_limit");
    }
}

// A stop asked at the end of pass 3 ends the solve there with its line, then the end-of-solve
// entries; no message box.
TEST(EverySolveEnds, AStopEndsTheSolveAfterThePass) {
    const std::string file = files("cycling").front();
    const Solve whole(fromFile(file)), stopped(fromFile(file), true, 3);
    ASSERT_GT(whole.p.pass, 3);
    EXPECT_EQ(stopped.outcome, SolveOutcome::Stopped);
    EXPECT_EQ(stopped.p.pass, 3);
    EXPECT_TRUE(stopped.messages.empty());
    EXPECT_TRUE(stopped.logHas({"Решение прервано пользователем", kListing}));
    EXPECT_EQ(whole.calls, "SP");
    EXPECT_EQ(stopped.calls, "SP");
}

} // namespace
