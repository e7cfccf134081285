// Random problems whose numbers are decimals the way users write them (one or two significant
// digits, from 1E-5 to 9900: coefficients over eight orders of magnitude and more), with
// tolerances from 1E-12 to 1E-2, read from data-file text. QSopt_ex's esolver reads the same
// decimals from an LP file, exactly, and decides the truth: the check must never call an
// answer right that is wrong for the decimal problem, and the exact solve's status and
// objective must equal esolver's, fractions compared exactly.

#include <gtest/gtest.h>

#include <gmpxx.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "../RequiredInput.h"
#include "../solver/TestSupport.h"
#include "analysis/ExactSolve.h"
#include "analysis/Rational.h"
#include "analysis/Verify.h"
#include "datafile/DataFile.h"

namespace {

using namespace kvado;
using namespace kvado::analysis;

constexpr const char* kEsolver = "/usr/bin/esolver";

// A number as written and its exact value.
struct Number {
    std::string text;
    mpq_class value;
};

Number randomNumber(std::mt19937_64& rng, bool negative) {
    const int k = std::uniform_int_distribution<int>(1, 99)(rng);
    const int e = std::uniform_int_distribution<int>(-5, 2)(rng);
    mpq_class v = k;
    mpz_class ten;
    mpz_ui_pow_ui(ten.get_mpz_t(), 10, static_cast<unsigned long>(e < 0 ? -e : e));
    if (e < 0)
        v /= ten;
    else
        v *= ten;
    v.canonicalize();
    if (negative) v = -v;
    // Fixed notation: "0.00037", "3700".
    std::string digits = std::to_string(k);
    std::string text;
    if (e >= 0) {
        text = digits + std::string(static_cast<size_t>(e), '0');
    } else {
        const auto places = static_cast<size_t>(-e);
        if (digits.size() <= places) digits = std::string(places - digits.size() + 1, '0') + digits;
        text =
            digits.substr(0, digits.size() - places) + "." + digits.substr(digits.size() - places);
    }
    return {(negative ? "-" : "") + text, v};
}

struct DecimalProblem {
    int G = 0, E = 0, L = 0, N = 0;
    std::string eps;
    std::vector<std::vector<Number>> A;
    std::vector<Number> C, B;
    int M() const { return G + E + L; }
};

DecimalProblem randomProblem(std::mt19937_64& rng) {
    static const char* tolerances[] = {"1E-12", "1E-10", "1E-8", "1E-6", "1E-4", "1E-3", "1E-2"};
    auto count = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
    DecimalProblem d;
    d.G = count(0, 3);
    d.E = count(0, 2);
    d.L = count(d.G + d.E == 0 ? 1 : 0, 5);
    d.N = count(2, 9);
    d.eps = tolerances[count(0, 6)];
    const Number zero{"0", 0};
    for (int i = 0; i < d.M(); ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(chance(0.65) ? randomNumber(rng, chance(0.3)) : zero);
        d.B.push_back(chance(0.15) ? zero : randomNumber(rng, false));
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(chance(0.85) ? randomNumber(rng, chance(0.6)) : zero);
    return d;
}

std::string dataText(const DecimalProblem& d) {
    std::string s = std::to_string(d.G) + " " + std::to_string(d.E) + " " + std::to_string(d.L) +
                    " " + std::to_string(d.N) + " " + d.eps + "\n";
    for (const auto& row : d.A) {
        for (const auto& a : row)
            s += a.text + " ";
        s += "\n";
    }
    for (const auto& c : d.C)
        s += c.text + " ";
    s += "\n";
    for (const auto& b : d.B)
        s += b.text + " ";
    return s + "\n";
}

std::string linearForm(const std::vector<Number>& a) {
    std::string s;
    for (size_t j = 0; j < a.size(); ++j) {
        if (sgn(a[j].value) == 0) continue;
        const bool minus = a[j].text[0] == '-';
        s += (minus ? " - " : " + ") + a[j].text.substr(minus ? 1 : 0) + " x" +
             std::to_string(j + 1);
    }
    return s.empty() ? " 0 x1" : s;
}

std::string lpText(const DecimalProblem& d) {
    std::string s = "Minimize\n obj:" + linearForm(d.C) + "\nSubject To\n";
    for (int i = 0; i < d.M(); ++i) {
        s += " r" + std::to_string(i + 1) + ":" + linearForm(d.A[static_cast<size_t>(i)]);
        s += i < d.G ? " >= " : i < d.G + d.E ? " = " : " <= ";
        s += d.B[static_cast<size_t>(i)].text + "\n";
    }
    // Every unknown is >= 0 without a bound (one that appears nowhere changes nothing).
    return s + "End\n";
}

struct Truth {
    std::string status; // "optimal", "infeasible", "unbounded"
    mpq_class objective;
};

// esolver's answers to every problem, from one shell for all of them (starting a process from
// the sanitized test binary costs far more than esolver's solve).
std::vector<Truth> esolverAnswers(const std::vector<DecimalProblem>& problems,
                                  const test::TempDir& dir) {
    std::string script = "cd " + dir.path() + " || exit 1\n";
    for (size_t n = 0; n < problems.size(); ++n) {
        const std::string name = "p" + std::to_string(n);
        test::writeBytes(dir.file(name + ".lp"), lpText(problems[n]));
        script +=
            std::string(kEsolver) + " -L -O " + name + ".sol " + name + ".lp >/dev/null 2>&1\n";
    }
    test::writeBytes(dir.file("run.sh"), script);
    [[maybe_unused]] const int rc = std::system(("sh " + dir.file("run.sh")).c_str());
    std::vector<Truth> truths(problems.size());
    for (size_t n = 0; n < problems.size(); ++n) {
        const std::string sol = dir.file("p" + std::to_string(n) + ".sol");
        if (!std::ifstream(sol).good()) continue;
        std::istringstream in(test::readBytes(sol));
        for (std::string line; std::getline(in, line);) {
            Truth& t = truths[n];
            if (line.find("status") == 0) {
                if (line.find("OPTIMAL") != std::string::npos) t.status = "optimal";
                if (line.find("INFEASIBLE") != std::string::npos) t.status = "infeasible";
                if (line.find("UNBOUNDED") != std::string::npos) t.status = "unbounded";
            }
            const auto at = line.find("Value = ");
            if (at != std::string::npos) {
                t.objective.set_str(line.substr(at + 8), 10);
                t.objective.canonicalize();
            }
        }
    }
    return truths;
}

// kAnswerTolerance, 1E-9, as a fraction.
const mpq_class kTolerance(1, 1000000000);

bool planFeasible(const DecimalProblem& d, const LpProblem& p) {
    auto x = [&](int j) { return toRational(toDyadic(p.solution[static_cast<size_t>(j) + 1])); };
    mpq_class largest = 1;
    for (int j = 0; j < d.N; ++j)
        largest = std::max(largest, mpq_class(abs(x(j))));
    for (int j = 0; j < d.N; ++j)
        if (-x(j) / largest > kTolerance) return false;
    for (int i = 0; i < d.M(); ++i) {
        mpq_class lhs = 0,
                  size = std::max(mpq_class(1), mpq_class(abs(d.B[static_cast<size_t>(i)].value)));
        for (int j = 0; j < d.N; ++j) {
            const mpq_class t = d.A[static_cast<size_t>(i)][static_cast<size_t>(j)].value * x(j);
            lhs += t;
            size = std::max(size, mpq_class(abs(t)));
        }
        const mpq_class r = lhs - d.B[static_cast<size_t>(i)].value;
        const mpq_class violation = i < d.G ? mpq_class(-r) : i < d.G + d.E ? mpq_class(abs(r)) : r;
        if (violation / size > kTolerance) return false;
    }
    return true;
}

const char* outcomeName(SolveOutcome o) {
    return o == SolveOutcome::Optimal      ? "optimal"
           : o == SolveOutcome::Infeasible ? "infeasible"
                                           : "unbounded";
}

TEST(EsolverComparison, VerdictsAndExactAnswersAreAboutTheDecimals) {
    constexpr int kProblems = 200;
    KVADO_REQUIRE_INPUT(std::ifstream(kEsolver).good(), kEsolver);
    std::mt19937_64 rng(20261209);
    test::TempDir dir;
    std::vector<DecimalProblem> problems;
    for (int n = 0; n < kProblems; ++n) {
        DecimalProblem d = randomProblem(rng);
        if (test::caseOfThisLocale(n)) problems.push_back(std::move(d));
    }
    const std::vector<Truth> truths = esolverAnswers(problems, dir);
    int wrong = 0, exactSolves = 0;
    for (size_t n = 0; n < problems.size(); ++n) {
        const DecimalProblem& d = problems[n];
        const Truth& truth = truths[n];
        SCOPED_TRACE(lpText(d) + "Eps " + d.eps);
        LpProblem p;
        datafile::readDataFile(dataText(d), p);
        test::RecordingHost host;
        TraceLog log(dir.path());
        const SolveOutcome outcome = solve(p, log, host);
        const Verification v = verify(p, outcome, VerifyOptions::unlimited(nullptr, '.'));
        ASSERT_FALSE(truth.status.empty());

        const mpq_class z = toRational(toDyadic(methodObjective(p)));
        const bool methodRight =
            truth.status == outcomeName(outcome) &&
            (truth.status != "optimal" ||
             (abs(z - truth.objective) <=
                  kTolerance * std::max(mpq_class(1), mpq_class(abs(truth.objective))) &&
              planFeasible(d, p)));
        wrong += !methodRight;
        const bool confirmed = v.verdict == Verdict::Optimal ||
                               v.verdict == Verdict::InfeasibleConfirmed ||
                               v.verdict == Verdict::UnboundedConfirmed;
        EXPECT_EQ(confirmed, methodRight) << verdictName(v.verdict) << ": " << v.reason;
        if (v.verdict == Verdict::Optimal) {
            EXPECT_EQ(truth.status, "optimal");
            EXPECT_EQ(v.objectiveExact, fractionText(truth.objective)) << v.reason;
        }
        if (v.verdict == Verdict::InfeasibleConfirmed) EXPECT_EQ(truth.status, "infeasible");
        if (v.verdict == Verdict::UnboundedConfirmed) EXPECT_EQ(truth.status, "unbounded");
        EXPECT_FALSE(v.rounded);
        if (confirmed) continue;

        ++exactSolves;
        const ExactSolution e = solveExactly(p, &v);
        EXPECT_EQ(exactStatusName(e.status), truth.status) << e.message;
        EXPECT_TRUE(e.verified);
        EXPECT_FALSE(e.dataRounded);
        if (e.status == ExactStatus::Optimal)
            EXPECT_EQ(e.objectiveExact, fractionText(truth.objective));
    }
    // The comparison means something only if the method was often wrong.
    EXPECT_GE(wrong, static_cast<int>(problems.size()) / 40);
    std::printf("%d of %zu answers wrong for the decimals, %d exact solves\n", wrong,
                problems.size(), exactSolves);
}

} // namespace
