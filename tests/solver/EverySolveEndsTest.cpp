// Every solve ends. Problems on which the method's own rule goes round without end (found by
// solving random small problems with zero right-hand sides and a coarse Eps) end once the
// repeated basis is noticed, with the outcome an independent solver (glpsol) gives; the
// notice changes nothing in a solve that ends without it; the pass limit and a stop end a
// solve with their own outcome and log line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../cli/CliRun.h"
#include "TestSupport.h"
#include "datafile/DataFile.h"
#include "solver/Simplex.h"
#include "text/NumberText.h"

namespace {

using kvado::LpProblem;
using kvado::Real;
using kvado::SolveOutcome;
using kvado::TraceLog;
using namespace kvado::test;
namespace fs = std::filesystem;

const std::string kCycleLine = "Зацикливание: ";

// The solve without the cycle watch: the method's rule alone, as before the mend.
struct WatchOff {
    WatchOff() { kvado::setCycleDetection(false); }
    ~WatchOff() { kvado::setCycleDetection(true); }
};

// Records the basis at the start of every pass and asks for a stop after `stopAfter` asks.
class WatchingHost : public RecordingHost {
public:
    explicit WatchingHost(const LpProblem& p) : m_p(p) {}
    void setProgressPosition(int32_t pass) override {
        RecordingHost::setProgressPosition(pass);
        if (pass > 0) bases.push_back(m_p.basis);
    }
    bool stopRequested() override { return ++asks == stopAfter; }
    std::vector<std::vector<int32_t>> bases; // [k]: the basis at the start of pass k+1
    int32_t stopAfter = 0, asks = 0;

private:
    const LpProblem& m_p;
};

struct Solve {
    LpProblem p;
    SolveOutcome outcome = SolveOutcome::Optimal;
    std::vector<std::string> log;
    std::string logBytes;
    std::vector<std::string> messages;
    std::vector<std::vector<int32_t>> bases;
};

template <typename Load> void solveWith(Load load, Solve& r, int32_t stopAfter = 0) {
    load(r.p);
    TempDir dir;
    TraceLog log(dir.path());
    WatchingHost host(r.p);
    host.stopAfter = stopAfter;
    r.outcome = kvado::solve(r.p, log, host);
    r.logBytes = readBytes(log.path());
    r.log = logLines(r.logBytes);
    r.messages = host.messages;
    r.bases = std::move(host.bases);
}

auto fromFile(const std::string& path) {
    return [path](LpProblem& p) { kvado::datafile::readDataFile(readBytes(path), p); };
}
auto fromData(const ProblemData& d) {
    return [d](LpProblem& p) { load(d, p); };
}

int countStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

// --- glpsol, the independent solver ---------------------------------------------------------

struct Reference {
    SolveOutcome outcome;
    double objective;
};

// The loaded problem in CPLEX LP form (every unknown named in the objective so that none is
// dropped; X >= 0 is the form's default).
std::string lpText(const LpProblem& p) {
    using kvado::text::formatRoundTrip;
    auto term = [](Real a, int32_t j) {
        return " + " + formatRoundTrip(a) + " x" + std::to_string(j);
    };
    std::string s = "Minimize\n obj:";
    for (int32_t j = 1; j <= p.N; ++j)
        s += term(p.objectiveCoefficient(j), j);
    s += "\nSubject To\n";
    for (int32_t i = 1; i <= p.M; ++i) {
        s += " r" + std::to_string(i) + ":";
        for (int32_t j = 1; j <= p.N; ++j)
            s += term(p.checkCopy(i, j), j);
        s += p.isGreaterRow(i) ? " >= " : p.isEqualRow(i) ? " = " : " <= ";
        s += formatRoundTrip(p.initialRhs[static_cast<size_t>(i)]) + "\n";
    }
    return s + "End\n";
}

// glpsol's verdict in exact rational arithmetic, from the status line of its plain solution
// file ("s bas M N primal dual objective"); nullopt when glpsol is not installed.
std::optional<Reference> glpsol(const LpProblem& p) {
    if (!fs::exists("/usr/bin/glpsol")) return std::nullopt;
    TempDir dir;
    writeBytes(dir.file("p.lp"), lpText(p));
    const std::string command = "/usr/bin/glpsol --exact --nopresol --lp '" + dir.file("p.lp") +
                                "' -w '" + dir.file("p.sol") + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    std::istringstream in(readBytes(dir.file("p.sol")));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string s, kind, primal, dual;
        int m, n;
        double objective;
        if (!(fields >> s >> kind >> m >> n >> primal >> dual >> objective) || s != "s") continue;
        if (primal == "n") return Reference{SolveOutcome::Infeasible, 0};
        if (primal == "f" && dual == "n") return Reference{SolveOutcome::Unbounded, 0};
        if (primal == "f" && dual == "f") return Reference{SolveOutcome::Optimal, objective};
    }
    ADD_FAILURE() << "no status line from glpsol for\n" << lpText(p);
    return std::nullopt;
}

::testing::AssertionResult sameAsGlpsol(const Solve& r) {
    const auto ref = glpsol(r.p);
    if (!ref) return ::testing::AssertionSuccess() << "glpsol missing";
    if (r.outcome != ref->outcome)
        return ::testing::AssertionFailure()
               << "outcome " << int(r.outcome) << ", glpsol " << int(ref->outcome);
    if (r.outcome != SolveOutcome::Optimal) return ::testing::AssertionSuccess();
    const double z = static_cast<double>(-r.p.inverse(r.p.M + 1, 0));
    if (std::fabs(z - ref->objective) > 1e-6 * std::max(1.0, std::fabs(ref->objective)))
        return ::testing::AssertionFailure() << "Z = " << z << ", glpsol " << ref->objective;
    return ::testing::AssertionSuccess();
}

// --- the problems that cycled -----------------------------------------------------------------

std::vector<std::string> dataFiles(const char* folder) {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(std::string(KVADO_TEST_DATA) + "/" + folder))
        files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}
// Problems that cycled and end once the rule changes.
std::vector<std::string> cyclingFiles() {
    return dataFiles("cycling");
}
// Problems on which the rule goes round with basic values pushed below zero by steps over
// entries below Eps: the objective rises and falls, so no rule for choosing pivots ends them.
std::vector<std::string> limitFiles() {
    return dataFiles("cycling-limit");
}

std::string testName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = fs::path(info.param).stem().string();
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

class CyclingProblem : public ::testing::TestWithParam<std::string> {};

// Without the watch the rule goes round far beyond what the problem needs (the stop ends it);
// with it the solve ends after a rule change with glpsol's outcome. The change's log line
// names two passes whose bases are the same, after the cycle has gone round twice unchanged,
// and up to there the two solves are the same.
TEST_P(CyclingProblem, EndsWithGlpsolsOutcome) {
    constexpr int32_t kFarBeyond = 2000;
    Solve plain, mended;
    {
        WatchOff off;
        solveWith(fromFile(GetParam()), plain, kFarBeyond);
    }
    ASSERT_EQ(plain.outcome, SolveOutcome::Stopped);
    EXPECT_EQ(countStarting(plain.log, kCycleLine), 0);

    solveWith(fromFile(GetParam()), mended);
    EXPECT_TRUE(mended.outcome == SolveOutcome::Optimal ||
                mended.outcome == SolveOutcome::Infeasible ||
                mended.outcome == SolveOutcome::Unbounded);
    EXPECT_LT(mended.p.pass, kFarBeyond / 4);
    EXPECT_TRUE(sameAsGlpsol(mended));

    const auto line = std::find_if(mended.log.begin(), mended.log.end(),
                                   [](const auto& l) { return l.rfind(kCycleLine, 0) == 0; });
    ASSERT_NE(line, mended.log.end());
    int later = 0, earlier = 0;
    ASSERT_EQ(std::sscanf(line->c_str() + kCycleLine.size(), "%d -й план повторяет %d -й", &later,
                          &earlier),
              2)
        << *line;
    EXPECT_EQ(*line, kCycleLine + std::to_string(later) + " -й план повторяет " +
                         std::to_string(earlier) + " -й, далее выбор по наименьшему номеру");
    const int period = later - earlier;
    ASSERT_GT(period, 0);
    ASSERT_GT(earlier - period, 0);
    const auto& b = plain.bases;
    EXPECT_EQ(b[static_cast<size_t>(later - 1)], b[static_cast<size_t>(earlier - 1)]);
    EXPECT_EQ(b[static_cast<size_t>(earlier - 1)], b[static_cast<size_t>(earlier - period - 1)]);
    for (int k = 0; k < later; ++k)
        ASSERT_EQ(mended.bases[static_cast<size_t>(k)], b[static_cast<size_t>(k)])
            << "pass " << k + 1;
}

INSTANTIATE_TEST_SUITE_P(Inputs, CyclingProblem, ::testing::ValuesIn(cyclingFiles()), testName);

class EndlessProblem : public ::testing::TestWithParam<std::string> {};

// The pass limit ends them: its message and log line, then the end-of-solve entries; never an
// answer.
TEST_P(EndlessProblem, EndsAtThePassLimit) {
    Solve r;
    solveWith(fromFile(GetParam()), r);
    EXPECT_EQ(r.outcome, SolveOutcome::PassLimit);
    const int32_t limit = kvado::passLimit(r.p);
    EXPECT_EQ(limit, 50 * (r.p.M + r.p.N) + 10000);
    EXPECT_EQ(r.p.pass, limit);
    EXPECT_EQ(r.messages, std::vector<std::string>{kvado::passLimitMessage(limit)});
    const auto line = std::find(r.log.begin(), r.log.end(),
                                "Превышено предельное число планов " + std::to_string(limit) +
                                    ", решение остановлено");
    ASSERT_NE(line, r.log.end());
    EXPECT_EQ(line[1], "ОГРАНИЧЕНИЕ  СОСТОЯНИЕ    ДОПОЛНИТЕЛЬНЫЕ ПЕРЕМЕННЫЕ");
}

INSTANTIATE_TEST_SUITE_P(Inputs, EndlessProblem, ::testing::ValuesIn(limitFiles()), testName);

// kvado-cli gives no answer for them: exit code 4 and one line on standard error.
TEST(CliPassLimit, ExitsWithCode4) {
    const std::string file = limitFiles().front();
    for (const bool json : {false, true}) {
        TempDir dir;
        std::vector<std::string> args = {"solve", file, "--log-dir", dir.path()};
        if (json) args.push_back("--json");
        const CliRun run = runCli(args, dir.path());
        EXPECT_EQ(run.exitCode, 4);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
        if (json) {
            EXPECT_EQ(jsonField(run.out, "status"), "pass limit") << run.out;
        }
    }
}

// --- solves that end without the watch -----------------------------------------------------

// Random problems like those that cycle: few rows of the ">=" kind, zero right-hand sides,
// coefficients around Eps and far above it, Eps 1E-2 or 1E-3.
ProblemData coarse(std::mt19937_64& rng) {
    static const Real coefficients[] = {0,     0,      1,    1,  2,  9, 12, 90, 0.1L,
                                        0.01L, 0.001L, 0.5L, 45, 13, 5, 3,  20, -1};
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    ProblemData d;
    d.eps = uniform(0, 1) ? 1e-2L : 1e-3L;
    d.G = uniform(0, 10);
    d.E = uniform(0, 2);
    d.L = uniform(d.G + d.E == 0 ? 1 : 0, 4);
    d.N = uniform(2, 10);
    for (int i = 0; i < d.M(); ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(coefficients[uniform(0, std::size(coefficients) - 1)]);
        d.B.push_back(uniform(0, 3) == 0 ? uniform(1, 5) : 0);
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(uniform(0, 2) == 0 ? 0 : uniform(-3, 3));
    return d;
}

::testing::AssertionResult sameBits(const Solve& a, const Solve& b) {
    auto fail = [] { return ::testing::AssertionFailure(); };
    if (a.outcome != b.outcome) return fail() << "outcome";
    if (a.p.pass != b.p.pass) return fail() << "passes " << a.p.pass << " vs " << b.p.pass;
    if (a.p.entering != b.p.entering || a.p.leaving != b.p.leaving) return fail() << "last pass";
    if (a.p.basis != b.p.basis || a.p.basic != b.p.basic) return fail() << "basis";
    if (a.p.pricing != b.p.pricing || a.p.solution != b.p.solution) return fail() << "pricing";
    for (int32_t i = 1; i <= a.p.M + 2; ++i)
        for (int32_t k = 0; k <= a.p.M + 1; ++k)
            if (a.p.inverse(i, k) != b.p.inverse(i, k))
                return fail() << "inverse " << i << "," << k;
    if (a.messages != b.messages) return fail() << "messages";
    if (a.logBytes != b.logBytes) return fail() << "trace log";
    return ::testing::AssertionSuccess();
}

TEST(CycleWatch, ChangesNothingInASolveThatEnds) {
    int degenerate = 0, compared = 0;
    for (uint64_t k = 0; k < 600; ++k) {
        std::mt19937_64 rng(k);
        const ProblemData d = coarse(rng);
        Solve plain, mended;
        {
            WatchOff off;
            solveWith(fromData(d), plain);
        }
        if (plain.outcome == SolveOutcome::PassLimit) continue; // one that cycles
        solveWith(fromData(d), mended);
        ++compared;
        degenerate += countStarting(plain.log, "---------- Вырождение:") > 0;
        ASSERT_TRUE(sameBits(plain, mended)) << "problem " << k << "\n" << dataFileText(d);
    }
    RecordProperty("compared", compared);
    RecordProperty("degenerate", degenerate);
    EXPECT_GE(compared, 590);
    EXPECT_GE(degenerate, 480);
}

// --- a stop ---------------------------------------------------------------------------------

// A stop asked at the end of pass 3 ends the solve there: its line, then the end-of-solve
// entries for the basis of that moment; no message box.
TEST(Stop, EndsTheSolveAtTheEndOfThePass) {
    std::mt19937_64 rng(7);
    ProblemData d;
    d.L = 12;
    d.N = 12;
    for (int i = 0; i < d.L; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(std::uniform_int_distribution<int>(1, 9)(rng));
        d.B.push_back(100);
    }
    d.C.assign(static_cast<size_t>(d.N), -1);
    Solve whole, stopped;
    solveWith(fromData(d), whole);
    ASSERT_EQ(whole.outcome, SolveOutcome::Optimal);
    ASSERT_GT(whole.p.pass, 4);
    solveWith(fromData(d), stopped, 3);
    EXPECT_EQ(stopped.outcome, SolveOutcome::Stopped);
    EXPECT_EQ(stopped.p.pass, 3);
    EXPECT_TRUE(stopped.messages.empty());
    const auto line =
        std::find(stopped.log.begin(), stopped.log.end(), "Решение прервано пользователем");
    ASSERT_NE(line, stopped.log.end());
    ASSERT_NE(line + 1, stopped.log.end());
    EXPECT_EQ(line[1], "ОГРАНИЧЕНИЕ  СОСТОЯНИЕ    ДОПОЛНИТЕЛЬНЫЕ ПЕРЕМЕННЫЕ");
    EXPECT_EQ(countStarting(whole.log, "Решение прервано"), 0);
    // Up to the stop it is the same solve.
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(stopped.bases[static_cast<size_t>(k)], whole.bases[static_cast<size_t>(k)]);
}

} // namespace
