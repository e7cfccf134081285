// The solver against the dense reference on many random problems: the same outcome, passes,
// basis, every entry of the inverse table, pricing row and solution vector, bit for bit, and
// the same trace log byte for byte.

#include <gtest/gtest.h>

#include <ostream>

#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "DenseReference.h"
#include "RequiredInput.h"
#include "TestSupport.h"
#include "solver/Simplex.h"
#include "text/NumberText.h"

namespace {

using kvado::LpProblem;
using kvado::Real;
using kvado::SolveOutcome;
using kvado::TraceLog;
using namespace kvado::test;

using Rng = std::mt19937_64;

int uniform(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

template <size_t K> Real pick(Rng& rng, const Real (&values)[K]) {
    return values[static_cast<size_t>(uniform(rng, 0, static_cast<int>(K) - 1))];
}

// Small integers with many zeros and repeats, so that ratios tie and rounds are degenerate.
ProblemData mixed(Rng& rng) {
    static const Real coefficients[] = {0, 0, 0, 0, 0, 0, 1, 1, 1, 2, 2, 3, -1, -1, -2};
    static const Real costs[] = {-3, -2, -1, -1, 0, 0, 1, 2, 2, 3};
    static const Real greaterRhs[] = {0, 0, 1, 1, 2};
    static const Real rhs[] = {0, 0, 1, 2, 2, 3, 4, 4, 6, 8};
    ProblemData d;
    const int M = uniform(rng, 1, 30);
    d.N = uniform(rng, 1, 30);
    d.G = uniform(rng, 0, M);
    d.E = uniform(rng, 0, (M - d.G) / 2);
    d.L = M - d.G - d.E;
    for (int i = 0; i < M; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(pick(rng, coefficients));
        d.B.push_back(i < d.G ? pick(rng, greaterRhs) : pick(rng, rhs));
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(pick(rng, costs));
    return d;
}

// Only "<=" rows, right-hand sides 0 or one common value: ties at every level.
ProblemData degenerateLess(Rng& rng) {
    static const Real coefficients[] = {0, 0, 0, 1, 1, 1, 2, -1};
    static const Real costs[] = {-2, -1, -1, -1, 0, 1};
    ProblemData d;
    d.L = uniform(rng, 2, 30);
    d.N = uniform(rng, 2, 30);
    const Real common = static_cast<Real>(uniform(rng, 1, 3));
    for (int i = 0; i < d.L; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(pick(rng, coefficients));
        d.B.push_back(uniform(rng, 0, 2) == 0 ? 0 : common);
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(pick(rng, costs));
    return d;
}

// "=" rows with a zero right-hand side and no positive coefficient keep their artificial
// variable basic at 0 through phase 1; phase 2 then meets it with negative entries. Some
// equalities repeat earlier ones, which makes them redundant.
ProblemData stuckArtificials(Rng& rng) {
    static const Real nonPositive[] = {0, 0, -1, -1, -2};
    static const Real coefficients[] = {0, 0, 0, 1, 1, 2, -1};
    static const Real costs[] = {-3, -2, -1, -1, 0, 1};
    ProblemData d;
    d.N = uniform(rng, 1, 25);
    d.G = uniform(rng, 0, 4);
    d.E = uniform(rng, 1, 8);
    d.L = uniform(rng, 0, 15);
    for (int i = 0; i < d.G; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(pick(rng, coefficients));
        d.B.push_back(static_cast<Real>(uniform(rng, 0, 2)));
    }
    for (int i = 0; i < d.E; ++i) {
        if (i > 0 && uniform(rng, 0, 3) == 0) {
            d.A.push_back(d.A[static_cast<size_t>(d.G + uniform(rng, 0, i - 1))]);
            d.B.push_back(0);
            continue;
        }
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(pick(rng, nonPositive));
        d.B.push_back(0);
    }
    for (int i = 0; i < d.L; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(pick(rng, coefficients));
        d.B.push_back(static_cast<Real>(uniform(rng, 0, 5)));
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(pick(rng, costs));
    return d;
}

// ">=" rows that ask for more than "<=" rows allow: mostly no feasible solution.
ProblemData conflicting(Rng& rng) {
    ProblemData d;
    d.N = uniform(rng, 1, 20);
    d.G = uniform(rng, 1, 12);
    d.L = uniform(rng, 1, 12);
    for (int i = 0; i < d.G + d.L; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(
                static_cast<Real>(uniform(rng, 0, 3) == 0 ? 0 : uniform(rng, 1, 2)));
        d.B.push_back(static_cast<Real>(i < d.G ? uniform(rng, 5, 20) : uniform(rng, 0, 6)));
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(static_cast<Real>(uniform(rng, 0, 3)));
    return d;
}

// Negative costs and columns without positive entries: mostly unbounded.
ProblemData open(Rng& rng) {
    static const Real coefficients[] = {0, 0, 1, -1, -1, -2};
    ProblemData d;
    d.N = uniform(rng, 1, 30);
    d.G = uniform(rng, 0, 3);
    d.L = uniform(rng, 1, 25);
    for (int i = 0; i < d.G + d.L; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(pick(rng, coefficients));
        d.B.push_back(static_cast<Real>(uniform(rng, 0, 4)));
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(static_cast<Real>(uniform(rng, -3, 1)));
    return d;
}

// A coarse Eps with entries at and below it: entries that do not take part in the ratio test,
// unbounded columns in phase 1 while W is already below Eps.
ProblemData coarseEps(Rng& rng) {
    static const Real coefficients[] = {0, 0, 0.25L, 0.375L, 0.5L, 0.5L, 1, -0.5L};
    static const Real rhs[] = {0, 0.0625L, 0.125L, 0.25L, 1, 2};
    static const Real costs[] = {-1, -0.75L, -0.5L, 0, 0.25L, 1};
    ProblemData d;
    d.eps = 0.5L;
    d.N = uniform(rng, 1, 12);
    d.G = uniform(rng, 0, 3);
    d.E = uniform(rng, 0, 4);
    d.L = uniform(rng, d.G + d.E == 0 ? 1 : 0, 6);
    for (int i = 0; i < d.G + d.E + d.L; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(pick(rng, coefficients));
        d.B.push_back(pick(rng, rhs));
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(pick(rng, costs));
    return d;
}

// Like the problems on which the rule cycles (">=" rows, zero right-hand sides, coefficients at
// and far above Eps 1E-2 or 1E-3), among them none that does: the cycle watch must change
// nothing in these solves.
ProblemData zeroRhsCoarseEps(Rng& rng) {
    static const Real coefficients[] = {0, 0, 1, 1, 2, 9, 12, 90, 0.1L, 0.01L, 0.001L, 45, -1};
    static const Real costs[] = {0, 0, -3, -2, -1, 1, 2, 3};
    ProblemData d;
    d.eps = uniform(rng, 0, 1) ? 1e-2L : 1e-3L;
    d.G = uniform(rng, 0, 10);
    d.E = uniform(rng, 0, 2);
    d.L = uniform(rng, d.G + d.E == 0 ? 1 : 0, 4);
    d.N = uniform(rng, 2, 10);
    for (int i = 0; i < d.M(); ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(pick(rng, coefficients));
        d.B.push_back(uniform(rng, 0, 3) == 0 ? uniform(rng, 1, 5) : 0);
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(pick(rng, costs));
    return d;
}

// Non-integer data, so that the inverse table fills with rounded values.
ProblemData fractional(Rng& rng) {
    ProblemData d;
    const int M = uniform(rng, 1, 30);
    d.N = uniform(rng, 1, 30);
    d.G = uniform(rng, 0, M / 2);
    d.E = uniform(rng, 0, (M - d.G) / 3);
    d.L = M - d.G - d.E;
    std::uniform_real_distribution<double> value(0.1, 9.9);
    for (int i = 0; i < M; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(uniform(rng, 0, 2) == 0 ? 0 : static_cast<Real>(value(rng)) / 3);
        d.B.push_back(static_cast<Real>(value(rng)) * (i < d.G + d.E ? 0.1L : 7.0L));
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(static_cast<Real>(value(rng)) - 3);
    return d;
}

// No rows or no unknowns at all, and the smallest sizes around them.
ProblemData tiny(Rng& rng) {
    static const Real values[] = {-2, -1, 0, 1, 2};
    ProblemData d;
    d.N = uniform(rng, 0, 3);
    d.G = uniform(rng, 0, 1);
    d.E = uniform(rng, 0, 1);
    d.L = uniform(rng, 0, 2);
    for (int i = 0; i < d.M(); ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(pick(rng, values));
        d.B.push_back(static_cast<Real>(uniform(rng, 0, 2)));
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(pick(rng, values));
    return d;
}

// The first difference between the reference and the solver, or success.
::testing::AssertionResult sameResult(const DenseResult& ref, const std::string& refLog,
                                      const LpProblem& p, SolveOutcome outcome,
                                      const std::string& log, const RecordingHost& host) {
    auto fail = [](auto&&... parts) {
        std::ostringstream s;
        (s << ... << parts);
        return ::testing::AssertionFailure() << s.str();
    };
    if (outcome != ref.outcome) return fail("outcome ", int(outcome), " vs ", int(ref.outcome));
    if (p.pass != ref.passes) return fail("passes ", p.pass, " vs ", ref.passes);
    if (p.entering != ref.entering) return fail("entering ", p.entering, " vs ", ref.entering);
    if (p.leaving != ref.leaving) return fail("leaving ", p.leaving, " vs ", ref.leaving);
    for (int32_t i = 1; i <= p.M; ++i)
        if (p.basis[static_cast<size_t>(i)] != ref.basis[static_cast<size_t>(i)])
            return fail("basis of row ", i);
    for (int32_t j = 1; j <= p.phase1Columns; ++j) {
        const auto uj = static_cast<size_t>(j);
        if (p.basic[uj] != ref.basic[uj]) return fail("basic flag of column ", j);
        if (p.pricing[uj] != ref.pricing[uj])
            return fail("pricing of column ", j, ": ", double(p.pricing[uj]), " vs ",
                        double(ref.pricing[uj]));
        if (p.solution[uj] != ref.solution[uj]) return fail("solution of column ", j);
    }
    for (int32_t i = 1; i <= p.M + 2; ++i)
        for (int32_t k = 0; k <= p.M + 1; ++k)
            if (p.inverse(i, k) != ref.inverse[static_cast<size_t>(i)][static_cast<size_t>(k)])
                return fail("inverse(", i, ", ", k, "): ", double(p.inverse(i, k)), " vs ",
                            double(ref.inverse[static_cast<size_t>(i)][static_cast<size_t>(k)]));
    if (host.messages != ref.messages) return fail("message boxes");
    if (log != refLog) return fail("trace log differs");
    return ::testing::AssertionSuccess();
}

struct Family {
    const char* name;
    std::function<ProblemData(Rng&)> make;
    uint64_t seed;
    int count;
    // Each family must reach what it is for at least this often.
    int minOptimal, minInfeasible, minUnbounded, minDegenerate, minArtificialLeft,
        minPhase1UnboundedPassed;
};

void PrintTo(const Family& c, std::ostream* os) {
    *os << c.name;
}

class MatchesDenseReference : public ::testing::TestWithParam<Family> {};

TEST_P(MatchesDenseReference, OnRandomProblems) {
    const auto& f = GetParam();
    int optimal = 0, infeasible = 0, unbounded = 0, degenerate = 0, artificialLeft = 0,
        phase1UnboundedPassed = 0, mismatches = 0;
    for (int k = 0; k < f.count && mismatches < 3; ++k) {
        if (!caseOfThisLocale(k)) continue;
        Rng rng(f.seed * 100000 + static_cast<uint64_t>(k));
        const ProblemData d = f.make(rng);

        TempDir refDir, dir;
        TraceLog refLogFile(refDir.path());
        const DenseResult ref = denseSolve(d, refLogFile, ',');

        LpProblem p;
        load(d, p);
        TraceLog logFile(dir.path());
        RecordingHost host(',');
        const SolveOutcome outcome = kvado::solve(p, logFile, host);

        const auto same = sameResult(ref, readBytes(refLogFile.path()), p, outcome,
                                     readBytes(logFile.path()), host);
        if (!same) ++mismatches;
        EXPECT_TRUE(same) << f.name << " problem " << k << " (M = " << d.M() << ", N = " << d.N
                          << ")\n"
                          << dataFileText(d);
        optimal += ref.outcome == SolveOutcome::Optimal;
        infeasible += ref.outcome == SolveOutcome::Infeasible;
        unbounded += ref.outcome == SolveOutcome::Unbounded;
        degenerate += ref.degenerateRounds > 0;
        artificialLeft += ref.artificialLeft > 0;
        phase1UnboundedPassed += ref.phase1UnboundedPassed > 0;
    }
    // Each locale runs about half the family: each kind is asked of it in proportion.
    const int64_t share = casesOfThisLocale(f.count);
    auto least = [&](int minimum) { return minimum * share / f.count; };
    EXPECT_GE(optimal, least(f.minOptimal));
    EXPECT_GE(infeasible, least(f.minInfeasible));
    EXPECT_GE(unbounded, least(f.minUnbounded));
    EXPECT_GE(degenerate, least(f.minDegenerate));
    EXPECT_GE(artificialLeft, least(f.minArtificialLeft));
    EXPECT_GE(phase1UnboundedPassed, least(f.minPhase1UnboundedPassed));
    RecordProperty("optimal", optimal);
    RecordProperty("infeasible", infeasible);
    RecordProperty("unbounded", unbounded);
    RecordProperty("degenerate", degenerate);
    RecordProperty("artificialLeft", artificialLeft);
    RecordProperty("phase1UnboundedPassed", phase1UnboundedPassed);
}

INSTANTIATE_TEST_SUITE_P(
    Families, MatchesDenseReference,
    ::testing::Values(Family{"Mixed", mixed, 1, 150, 10, 20, 20, 50, 0, 0},
                      Family{"DegenerateLess", degenerateLess, 2, 100, 40, 0, 3, 40, 0, 0},
                      Family{"StuckArtificials", stuckArtificials, 3, 100, 15, 20, 0, 15, 15, 0},
                      Family{"Conflicting", conflicting, 4, 60, 0, 25, 0, 10, 0, 0},
                      Family{"Open", open, 5, 60, 0, 0, 20, 10, 0, 0},
                      Family{"CoarseEps", coarseEps, 6, 150, 15, 30, 15, 5, 2, 2},
                      Family{"Fractional", fractional, 7, 60, 20, 4, 0, 0, 0, 0},
                      Family{"ZeroRhsCoarseEps", zeroRhsCoarseEps, 9, 500, 50, 50, 20, 400, 0, 0},
                      Family{"Tiny", tiny, 8, 200, 20, 20, 20, 0, 0, 0}),
    [](const ::testing::TestParamInfo<Family>& info) { return std::string(info.param.name); });

// Real problems with badly scaled fractional data, from the Netlib set: small enough for the
// dense reference.
ProblemData readProblem(const std::string& bytes) {
    kvado::text::NumberReader in(bytes);
    ProblemData d;
    d.G = in.readInteger();
    d.E = in.readInteger();
    d.L = in.readInteger();
    d.N = in.readInteger();
    d.eps = in.readReal();
    d.A.assign(static_cast<size_t>(d.M()), std::vector<Real>(static_cast<size_t>(d.N)));
    for (auto& row : d.A)
        for (auto& a : row)
            a = in.readReal();
    for (int32_t j = 0; j < d.N; ++j)
        d.C.push_back(in.readReal());
    for (int32_t i = 0; i < d.M(); ++i)
        d.B.push_back(in.readReal());
    return d;
}

// Solves the Netlib problem both ways and compares every result, bit for bit.
void expectNetlibMatches(const char* name, const kvado::SolveOptions& options = {}) {
    const std::string path = std::string(KVADO_NETLIB_DIR) + "/" + name + ".dat";
    KVADO_REQUIRE_INPUT(std::filesystem::exists(path), path);
    const ProblemData d = readProblem(readBytes(path));
    TempDir refDir, dir;
    TraceLog refLogFile(refDir.path());
    const DenseResult ref = denseSolve(d, refLogFile, ',');
    LpProblem p;
    load(d, p);
    TraceLog logFile(dir.path());
    RecordingHost host(',');
    const SolveOutcome outcome = kvado::solve(p, logFile, host, nullptr, options);
    EXPECT_TRUE(
        sameResult(ref, readBytes(refLogFile.path()), p, outcome, readBytes(logFile.path()), host))
        << name;
    EXPECT_EQ(outcome, SolveOutcome::Optimal) << name;
}

class NetlibMatchesDenseReference : public ::testing::TestWithParam<const char*> {};

TEST_P(NetlibMatchesDenseReference, BitForBit) {
    expectNetlibMatches(GetParam());
}

// The pivot's columns shared with a second thread give the same bits as one thread: the
// threshold is lowered so that every pivot of these problems takes the shared path.
TEST(SharedPivot, MatchesDenseReference) {
    kvado::SolveOptions shared;
    shared.parallelPivotWork = 1;
    for (const char* name : {"sc105", "share2b", "scagr7"})
        expectNetlibMatches(name, shared);
}

INSTANTIATE_TEST_SUITE_P(Problems, NetlibMatchesDenseReference,
                         ::testing::ValuesIn(ofThisLocale(std::vector<const char*>{
                             "afiro", "sc50a", "sc50b", "kb2", "adlittle", "blend", "share2b",
                             "sc105", "recipe", "scagr7", "stocfor1"})),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

} // namespace
