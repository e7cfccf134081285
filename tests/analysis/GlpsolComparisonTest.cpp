// Random problems with coefficients over eight orders of magnitude and tolerances from 1E-12 to
// 1E-2, on which the method's answers are often wrong. glpsol --exact decides the truth; the
// exact check must never call a wrong answer right, and the exact solve must agree with it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "../solver/TestSupport.h"
#include "analysis/ExactSolve.h"
#include "analysis/Rational.h"
#include "analysis/Verify.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;
using kvado::test::ProblemData;

constexpr const char* kGlpsol = "/usr/bin/glpsol";

// k·2^e with k in 1..15 and 2^-14 <= 2^e <= 2^10: from 6E-5 to 15360, exactly a short
// binary fraction, so that its decimal text below is exact for glpsol too.
Real randomMagnitude(std::mt19937_64& rng) {
    const int k = std::uniform_int_distribution<int>(1, 15)(rng);
    const int e = std::uniform_int_distribution<int>(-14, 10)(rng);
    return std::ldexp(static_cast<Real>(k), e);
}

ProblemData randomProblem(std::mt19937_64& rng) {
    static const Real tolerances[] = {1e-12L, 1e-10L, 1e-8L, 1e-6L, 1e-4L, 1e-3L, 1e-2L};
    auto count = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
    ProblemData d;
    d.G = count(0, 3);
    d.E = count(0, 2);
    d.L = count(d.G + d.E == 0 ? 1 : 0, 5);
    d.N = count(2, 9);
    d.eps = tolerances[count(0, 6)];
    for (int32_t i = 0; i < d.M(); ++i) {
        d.A.emplace_back();
        for (int32_t j = 0; j < d.N; ++j)
            d.A.back().push_back(chance(0.65) ? (chance(0.3) ? -1 : 1) * randomMagnitude(rng) : 0);
        d.B.push_back(chance(0.15) ? 0 : randomMagnitude(rng));
    }
    for (int32_t j = 0; j < d.N; ++j)
        d.C.push_back(chance(0.85) ? (chance(0.6) ? -1 : 1) * randomMagnitude(rng) : 0);
    return d;
}

std::string exactDecimal(Real v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.24Lf", v);
    std::string s = buf;
    std::replace(s.begin(), s.end(), ',', '.'); // whatever the C locale
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

// A linear form over x1..xN; "0 x1" when every coefficient is zero.
std::string linearForm(const std::vector<Real>& a) {
    std::string s;
    for (size_t j = 0; j < a.size(); ++j)
        if (a[j] != 0)
            s += (a[j] < 0 ? " - " : " + ") + exactDecimal(std::fabs(a[j])) + " x" +
                 std::to_string(j + 1);
    return s.empty() ? " 0 x1" : s;
}

std::string cplexLp(const ProblemData& d) {
    std::string s = "Minimize\n obj:" + linearForm(d.C) + "\nSubject To\n";
    for (int32_t i = 0; i < d.M(); ++i) {
        s += " r" + std::to_string(i + 1) + ":" + linearForm(d.A[static_cast<size_t>(i)]);
        s += i < d.G ? " >= " : i < d.G + d.E ? " = " : " <= ";
        s += exactDecimal(d.B[static_cast<size_t>(i)]) + "\n";
    }
    return s + "End\n";
}

struct GlpsolAnswer {
    std::string status; // "optimal", "infeasible", "unbounded"
    long double objective = 0;
};

GlpsolAnswer glpsolExact(const ProblemData& d, const test::TempDir& dir) {
    const std::string lp = dir.file("p.lp"), sol = dir.file("p.sol");
    test::writeBytes(lp, cplexLp(d));
    const std::string cmd =
        std::string(kGlpsol) + " --exact --lp " + lp + " -w " + sol + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    GlpsolAnswer a;
    std::istringstream in(test::readBytes(sol));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("c Status:", 0) == 0) {
            if (line.find("OPTIMAL") != std::string::npos) a.status = "optimal";
            if (line.find("INFEASIBLE") != std::string::npos) a.status = "infeasible";
            if (line.find("UNBOUNDED") != std::string::npos) a.status = "unbounded";
        }
        if (line.rfind("s bas", 0) == 0) {
            std::istringstream f(line.substr(5));
            std::string m, n, p, q;
            f >> m >> n >> p >> q >> a.objective;
        }
    }
    return a;
}

// The largest violation by the method's plan of X >= 0 and of the rows, each relative to the
// size of its terms (at least 1).
long double planViolation(const ProblemData& d, const LpProblem& p) {
    long double worst = 0, largest = 1;
    for (int32_t j = 1; j <= d.N; ++j)
        largest = std::max(largest, std::fabs(p.solution[static_cast<size_t>(j)]));
    for (int32_t j = 1; j <= d.N; ++j)
        worst = std::max(worst, -p.solution[static_cast<size_t>(j)] / largest);
    for (int32_t i = 0; i < d.M(); ++i) {
        long double lhs = 0, size = std::max(1.0L, std::fabs(d.B[static_cast<size_t>(i)]));
        for (int32_t j = 0; j < d.N; ++j) {
            const long double t = d.A[static_cast<size_t>(i)][static_cast<size_t>(j)] *
                                  p.solution[static_cast<size_t>(j) + 1];
            lhs += t;
            size = std::max(size, std::fabs(t));
        }
        const long double r = lhs - d.B[static_cast<size_t>(i)];
        worst = std::max(worst, (i < d.G ? -r : i < d.G + d.E ? std::fabs(r) : r) / size);
    }
    return worst;
}

const char* outcomeName(SolveOutcome o) {
    return o == SolveOutcome::Optimal      ? "optimal"
           : o == SolveOutcome::Infeasible ? "infeasible"
                                           : "unbounded";
}

bool near(long double a, long double b, long double relative = 1e-12L) {
    return std::fabs(a - b) <= relative * std::max(1.0L, std::fabs(b));
}

TEST(GlpsolComparison, WrongAnswersAreNeverCalledRight) {
    constexpr int kProblems = 300;
    if (!std::ifstream(kGlpsol)) GTEST_SKIP() << kGlpsol << " is missing";
    std::mt19937_64 rng(20261208);
    test::TempDir dir;
    int wrong = 0, refuted = 0;
    for (int n = 0; n < kProblems; ++n) {
        const ProblemData d = randomProblem(rng);
        if (!test::caseOfThisLocale(n)) continue;
        SCOPED_TRACE(cplexLp(d) + "Eps " + std::to_string(static_cast<double>(d.eps)));
        test::Solved s;
        test::solveProblem(d, s);
        const Verification v = verify(s.problem, s.outcome, VerifyOptions::unlimited(nullptr, '.'));
        const GlpsolAnswer truth = glpsolExact(d, dir);
        ASSERT_FALSE(truth.status.empty());

        const Real z = methodObjective(s.problem);
        const bool methodRight =
            truth.status == outcomeName(s.outcome) &&
            (truth.status != "optimal" || (near(z, truth.objective, kAnswerTolerance) &&
                                           planViolation(d, s.problem) <= kAnswerTolerance));
        wrong += !methodRight;
        switch (v.verdict) {
        case Verdict::Optimal:
            EXPECT_EQ(truth.status, "optimal") << v.reason;
            EXPECT_TRUE(near(v.objectiveValue, truth.objective)) << v.objectiveExact;
            break;
        case Verdict::InfeasibleConfirmed:
            EXPECT_EQ(truth.status, "infeasible");
            break;
        case Verdict::UnboundedConfirmed:
            EXPECT_EQ(truth.status, "unbounded");
            break;
        case Verdict::Skipped:
            ADD_FAILURE() << v.reason;
            break;
        default:
            ++refuted;
            EXPECT_FALSE(v.cause.empty());
            break;
        }
        // And right answers are proved right (an optimum up to the method's rounding).
        const bool confirmed = v.verdict == Verdict::Optimal ||
                               v.verdict == Verdict::InfeasibleConfirmed ||
                               v.verdict == Verdict::UnboundedConfirmed;
        EXPECT_EQ(confirmed, methodRight) << verdictName(v.verdict) << ": " << v.reason;

        // The exact solve, from the method's basis, agrees with glpsol.
        if (v.verdict == Verdict::Optimal || v.verdict == Verdict::InfeasibleConfirmed ||
            v.verdict == Verdict::UnboundedConfirmed)
            continue;
        const ExactSolution e = solveExactly(s.problem, &v);
        EXPECT_EQ(exactStatusName(e.status), truth.status) << e.message;
        EXPECT_FALSE(e.dataRounded);
        if (e.status == ExactStatus::Optimal) {
            EXPECT_TRUE(e.verified);
            EXPECT_TRUE(near(e.objective, truth.objective))
                << e.objectiveExact << " vs " << static_cast<double>(truth.objective);
        }
    }
    // The comparison means something only if the method was often wrong.
    const int64_t cases = test::casesOfThisLocale(kProblems);
    EXPECT_GE(wrong, cases / 40);
    std::printf("%d of %lld answers wrong, %d not confirmed\n", wrong,
                static_cast<long long>(cases), refuted);
}

} // namespace
