// The step recorder against the solve it watched and against a plain dense computation: a
// recorded solve is the same bits with the same trace log, one pass is recorded per pass the
// log counts, and every recorded basis, basic value, transformed column, reduced cost, ratio
// and objective agrees with B^-1 computed afresh from the basis by Gaussian elimination.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "TestSupport.h"
#include "cli/CliRun.h"
#include "report/StepsReport.h"
#include "session/Session.h"
#include "solver/Simplex.h"
#include "solver/StepRecorder.h"

namespace {

using kvado::LpProblem;
using kvado::Real;
using kvado::SolveOutcome;
using kvado::StepPass;
using kvado::StepRecorder;
using kvado::TraceLog;
using namespace kvado::test;

using Rng = std::mt19937_64;

int uniform(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// Small integers with many zeros and repeated right-hand sides, so that ratios tie, pivots
// are degenerate and some problems are infeasible or unbounded; every row kind.
ProblemData randomProblem(Rng& rng) {
    static const int coefficients[] = {0, 0, 0, 0, 1, 1, 1, 2, 3, -1, -1, -2};
    static const int costs[] = {-3, -2, -1, -1, 0, 1, 2};
    ProblemData d;
    const int M = uniform(rng, 1, 8);
    d.N = uniform(rng, 1, 8);
    d.G = uniform(rng, 0, M);
    d.E = uniform(rng, 0, M - d.G);
    d.L = M - d.G - d.E;
    const int common = uniform(rng, 1, 4);
    for (int i = 0; i < M; ++i) {
        d.A.emplace_back();
        for (int j = 0; j < d.N; ++j)
            d.A.back().push_back(coefficients[uniform(rng, 0, 11)]);
        d.B.push_back(uniform(rng, 0, 2) == 0 ? 0
                      : uniform(rng, 0, 1)    ? common
                                              : uniform(rng, 0, 9));
    }
    for (int j = 0; j < d.N; ++j)
        d.C.push_back(costs[uniform(rng, 0, 6)]);
    return d;
}

// The standard form as a dense matrix, written from the problem's statement: the unknowns,
// then a surplus column per ">=" row, a slack column per "<=" row, an artificial column per
// ">=" or "=" row.
struct Dense {
    int M = 0, N = 0, columns = 0;
    std::vector<std::vector<Real>> a; // M x (columns + 1), column 0 unused
    std::vector<Real> b, phase2Cost, phase1Cost;
    explicit Dense(const ProblemData& d) : M(d.M()), N(d.N) {
        const int phase2 = N + d.G + d.L;
        columns = phase2 + d.G + d.E;
        a.assign(static_cast<size_t>(M), std::vector<Real>(static_cast<size_t>(columns) + 1, 0));
        phase2Cost.assign(static_cast<size_t>(columns) + 1, 0);
        phase1Cost = phase2Cost;
        for (int i = 0; i < M; ++i) {
            for (int j = 0; j < N; ++j)
                a[i][j + 1] = d.A[i][j];
            if (i < d.G) a[i][N + i + 1] = -1;
            if (i >= d.G + d.E) a[i][N + i - d.E + 1] = 1;
            if (i < d.G + d.E) a[i][phase2 + i + 1] = 1;
            b.push_back(d.B[i]);
        }
        for (int j = 0; j < N; ++j)
            phase2Cost[j + 1] = d.C[j];
        for (int j = phase2 + 1; j <= columns; ++j)
            phase1Cost[j] = 1;
    }
    // B^-1 [b | a_s] for the basis (columns of rows 1..M), by Gaussian elimination with
    // partial pivoting; false when B is singular.
    bool solve(const std::vector<int32_t>& basis, int s, std::vector<Real>& x,
               std::vector<Real>& t) const {
        std::vector<std::vector<Real>> w(M, std::vector<Real>(M + 2, 0));
        for (int i = 0; i < M; ++i) {
            for (int k = 0; k < M; ++k)
                w[i][k] = a[i][basis[k]];
            w[i][M] = b[i];
            w[i][M + 1] = s ? a[i][s] : 0;
        }
        for (int k = 0; k < M; ++k) {
            int best = k;
            for (int i = k + 1; i < M; ++i)
                if (std::fabs(w[i][k]) > std::fabs(w[best][k])) best = i;
            if (w[best][k] == 0) return false;
            std::swap(w[k], w[best]);
            for (int i = 0; i < M; ++i) {
                if (i == k) continue;
                const Real f = w[i][k] / w[k][k];
                for (int c = k; c < M + 2; ++c)
                    w[i][c] -= f * w[k][c];
            }
        }
        x.resize(M);
        t.resize(M);
        for (int i = 0; i < M; ++i) {
            x[i] = w[i][M] / w[i][i];
            t[i] = w[i][M + 1] / w[i][i];
        }
        return true;
    }
};

bool near(Real a, Real b) {
    return std::fabs(a - b) <= 1e-9L * (1 + std::fabs(a) + std::fabs(b));
}

struct Recorded {
    LpProblem problem;
    SolveOutcome outcome{};
    StepRecorder steps;
    std::string log;
    explicit Recorded(const ProblemData& d, StepRecorder::Limits limits = {}) : steps(limits) {
        TempDir dir;
        load(d, problem);
        TraceLog traceLog(dir.path());
        RecordingHost host;
        outcome = solve(problem, traceLog, host, &steps);
        log = readBytes(traceLog.path());
    }
};

TEST(StepRecorder, ChangesNoBitAndRecordsEveryPassTheLogCounts) {
    Rng rng(20261208);
    for (int n = 0; n < 300; ++n) {
        const ProblemData d = randomProblem(rng);
        if (!caseOfThisLocale(n)) continue;
        Solved plain;
        solveProblem(d, plain);
        const Recorded rec(d);
        SCOPED_TRACE("problem " + std::to_string(n));
        ASSERT_EQ(plain.log, rec.log);
        ASSERT_EQ(plain.outcome, rec.outcome);
        EXPECT_EQ(plain.problem.pass, rec.problem.pass);
        EXPECT_EQ(plain.problem.basis, rec.problem.basis);
        for (size_t j = 0; j < plain.problem.solution.size(); ++j) {
            EXPECT_EQ(0, std::memcmp(&plain.problem.solution[j], &rec.problem.solution[j], 10));
            EXPECT_EQ(0, std::memcmp(&plain.problem.pricing[j], &rec.problem.pricing[j], 10));
        }
        ASSERT_EQ(rec.steps.passCount(), plain.problem.pass);
        ASSERT_EQ(rec.steps.passes().size(), static_cast<size_t>(plain.problem.pass));
        for (size_t k = 0; k < rec.steps.passes().size(); ++k)
            EXPECT_EQ(rec.steps.passes()[k].pass, static_cast<int32_t>(k) + 1);
    }
}

TEST(StepRecorder, PassesReplayedThroughADenseComputation) {
    Rng rng(17);
    int pivots = 0, degenerate = 0, rounds = 0, phase1 = 0, unbounded = 0;
    for (int n = 0; n < 300; ++n) {
        const ProblemData d = randomProblem(rng);
        const Recorded rec(d);
        const Dense dense(d);
        SCOPED_TRACE("problem " + std::to_string(n));
        const auto& passes = rec.steps.passes();
        for (size_t k = 0; k < passes.size(); ++k) {
            const StepPass& s = passes[k];
            SCOPED_TRACE("pass " + std::to_string(s.pass));
            ASSERT_TRUE(s.detailed);
            std::vector<Real> x, t;
            ASSERT_TRUE(dense.solve(s.basis, s.entering, x, t));
            const auto& cost = s.phase == 1 ? dense.phase1Cost : dense.phase2Cost;
            Real objective = 0;
            for (int i = 0; i < dense.M; ++i) {
                EXPECT_TRUE(near(x[i], s.values[i])) << i;
                objective += cost[s.basis[i]] * x[i];
            }
            EXPECT_TRUE(near(objective, s.objective));
            phase1 += s.phase == 1;
            // Each pass follows from the one before: a pivot replaces the leaving row's column.
            const std::vector<int32_t>& next =
                k + 1 < passes.size() ? passes[k + 1].basis : rec.steps.finalBasis();
            std::vector<int32_t> expected = s.basis;
            if (s.leavingRow) expected[s.leavingRow - 1] = s.entering;
            EXPECT_EQ(expected, next);
            if (k + 1 < passes.size()) {
                EXPECT_LE(s.phase, passes[k + 1].phase);
            }
            if (!s.entering) continue;
            Real reduced = cost[s.entering];
            Real minimum = 1e30L;
            size_t q = 0;
            for (int i = 0; i < dense.M; ++i) {
                reduced -= cost[s.basis[i]] * t[i];
                EXPECT_TRUE(near(t[i], s.column[i]));
                if (s.column[i] > d.eps) {
                    ASSERT_LT(q, s.ratios.size());
                    EXPECT_EQ(s.ratios[q].row, i + 1);
                    EXPECT_TRUE(near(s.ratios[q++].ratio, x[i] / t[i]));
                    minimum = std::min(minimum, x[i] / t[i]);
                }
            }
            EXPECT_EQ(q, s.ratios.size());
            EXPECT_TRUE(near(reduced, s.reducedCost));
            EXPECT_LT(s.reducedCost, -d.eps);
            rounds += static_cast<int>(s.rounds.size());
            if (!s.leavingRow) {
                unbounded += s.ratios.empty();
                continue;
            }
            ++pivots;
            EXPECT_EQ(s.basis[s.leavingRow - 1], s.leavingColumn);
            EXPECT_TRUE(near(s.pivot, t[s.leavingRow - 1]));
            if (!s.artificialLeft) {
                EXPECT_TRUE(near(s.ratio, minimum));
            }
            degenerate += s.ratio == 0;
        }
    }
    // The problems reach what the test is about.
    EXPECT_GT(pivots, 500);
    EXPECT_GT(degenerate, 50);
    EXPECT_GT(rounds, 10);
    EXPECT_GT(phase1, 100);
    EXPECT_GT(unbounded, 5);
}

TEST(StepRecorder, CapsKeepMemoryBoundedAndSaySo) {
    Rng rng(5);
    ProblemData d;
    do
        d = randomProblem(rng);
    while (Recorded(d).steps.passCount() < 4);
    const Recorded full(d);
    EXPECT_TRUE(kvado::report::recordingNote(full.steps).empty());

    const Recorded cut(d, {.passes = 2, .detailBytes = int64_t(64) << 20});
    EXPECT_EQ(cut.log, full.log);
    EXPECT_EQ(cut.steps.passCount(), full.steps.passCount());
    EXPECT_EQ(cut.steps.passes().size(), 2u);
    EXPECT_FALSE(kvado::report::recordingNote(cut.steps).empty());

    const Recorded bare(d, {.passes = 1000, .detailBytes = 0});
    EXPECT_EQ(bare.steps.passes().size(), full.steps.passes().size());
    EXPECT_EQ(bare.steps.detailedCount(), 0);
    EXPECT_FALSE(bare.steps.passes()[0].detailed);
    EXPECT_EQ(bare.steps.passes()[0].entering, full.steps.passes()[0].entering);
    EXPECT_FALSE(kvado::report::recordingNote(bare.steps).empty());
}

// The results window's road: a solve that did not record has its passes recorded afterwards by
// a second solve of a copy, which must make the same passes; kvado-cli --steps prints them.
TEST(StepRecorder, ReplayAndCliGiveTheRecordedPasses) {
    Rng rng(42);
    for (int n = 0; n < 20; ++n) {
        const ProblemData d = randomProblem(rng);
        const Recorded rec(d);
        TempDir dir;
        writeBytes(dir.file("p.dat"), dataFileText(d));
        LpProblem problem;
        kvado::session::Session session(problem);
        session.setHeadless(true);
        session.setLogFolder(dir.path());
        ASSERT_EQ(session.openDataFile(dir.file("p.dat")).status,
                  kvado::session::OpenStatus::Opened);
        session.solveLoaded();
        const std::string log = readBytes(dir.file("Kvaq.log"));
        const StepRecorder* replayed = session.steps();
        ASSERT_NE(replayed, nullptr);
        EXPECT_EQ(readBytes(dir.file("Kvaq.log")), log);
        const kvado::StepNames names = session.stepNames(*replayed);
        const auto stepsMember = [](const StepRecorder& steps, const kvado::StepNames& n) {
            kvado::text::JsonWriter w;
            kvado::report::stepsJson(w.beginObject().key("steps"), steps, n);
            const std::string object = w.endObject().text();
            return object.substr(1, object.size() - 2);
        };
        const std::string json = stepsMember(*replayed, names);
        EXPECT_EQ(json, stepsMember(rec.steps, kvado::StepNames(rec.steps, {})));

        const CliRun run = runCli({"solve", "p.dat", "--json", "--steps"}, dir.path());
        EXPECT_NE(run.out.find(", " + json + "}"), std::string::npos) << run.out;
        EXPECT_EQ(jsonField(run.out, "passes"), std::to_string(rec.steps.passCount()));
    }
}

TEST(StepRecorder, VisitedPointsEndAtTheSolution) {
    Rng rng(99);
    int checked = 0;
    for (int n = 0; n < 300; ++n) {
        const ProblemData d = randomProblem(rng);
        const Recorded rec(d);
        const auto points = rec.steps.visitedPoints();
        const auto visits = rec.steps.visits();
        ASSERT_FALSE(points.empty());
        ASSERT_EQ(points.size(), visits.size());
        for (size_t k = 1; k < points.size(); ++k) {
            EXPECT_NE(points[k - 1], points[k]);
            EXPECT_LE(visits[k - 1].phase, visits[k].phase);
        }
        // A point said to be feasible meets the constraints; every point of phase 2 is one.
        for (const kvado::StepPoint& v : visits) {
            EXPECT_TRUE(v.feasible || v.phase == 1);
            if (!v.feasible) continue;
            for (int i = 0; i < d.M(); ++i) {
                Real activity = 0;
                for (int j = 0; j < d.N; ++j)
                    activity += d.A[i][j] * v.x[j];
                // ">=" and "=" rows from below, "=" and "<=" rows from above.
                EXPECT_TRUE(i >= d.G + d.E || activity >= d.B[i] - 1e-9L) << i;
                EXPECT_TRUE(i < d.G || activity <= d.B[i] + 1e-9L) << i;
            }
            for (const Real xj : v.x)
                EXPECT_GE(xj, -1e-9L);
        }
        if (rec.outcome != SolveOutcome::Optimal) continue;
        ++checked;
        for (int32_t j = 1; j <= rec.problem.N; ++j)
            EXPECT_EQ(points.back()[j - 1], rec.problem.solution[j]);
    }
    EXPECT_GT(checked, 20);
}

} // namespace
