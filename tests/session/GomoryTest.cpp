// Gomory's fractional cuts on random small pure integer problems: every cut keeps every
// integer point of the feasible set and cuts off the vertex it was derived at, and the
// integer optimum the cuts end at is glpsol's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../RequiredInput.h"
#include "session/GomorySolve.h"

using namespace kvado;

namespace {

struct Problem {
    int32_t G = 0, L = 0, N = 0;
    std::vector<std::vector<int>> a; // M rows of N
    std::vector<int> b, c;
};

Problem randomProblem(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Problem q;
    q.N = pick(2, 3);
    q.G = pick(0, 1);
    q.L = pick(2, 3);
    for (int32_t i = 0; i < q.G + q.L; ++i) {
        std::vector<int> row;
        // The "<=" rows have every coefficient positive, so the region is bounded.
        for (int32_t j = 0; j < q.N; ++j)
            row.push_back(i < q.G ? pick(0, 4) : pick(1, 6));
        q.a.push_back(row);
        q.b.push_back(i < q.G ? pick(1, 5) : pick(6, 19));
    }
    for (int32_t j = 0; j < q.N; ++j)
        q.c.push_back(pick(-6, 2));
    return q;
}

LpProblem load(const Problem& q) {
    LpProblem p;
    p.G = q.G;
    p.L = q.L;
    p.N = q.N;
    p.eps = 1e-9L;
    p.reset();
    for (int32_t i = 1; i <= p.M; ++i)
        for (int32_t j = 1; j <= p.N; ++j)
            p.setCoefficient(i, j, q.a[static_cast<size_t>(i - 1)][static_cast<size_t>(j - 1)]);
    for (int32_t j = 1; j <= p.N; ++j)
        p.setObjective(j, q.c[static_cast<size_t>(j - 1)]);
    for (int32_t i = 1; i <= p.M; ++i)
        p.setRightHandSide(i, q.b[static_cast<size_t>(i - 1)]);
    p.takeSnapshots();
    return p;
}

// Every integer point of the region (each X[j] is at most 19 by a "<=" row).
std::vector<std::vector<int>> integerPoints(const Problem& q) {
    std::vector<std::vector<int>> points;
    std::vector<int> x(static_cast<size_t>(q.N), 0);
    for (;;) {
        bool inside = true;
        for (size_t i = 0; i < q.a.size() && inside; ++i) {
            long lhs = 0;
            for (size_t j = 0; j < x.size(); ++j)
                lhs += long(q.a[i][j]) * x[j];
            inside = static_cast<int32_t>(i) < q.G ? lhs >= q.b[i] : lhs <= q.b[i];
        }
        if (inside) points.push_back(x);
        size_t j = 0;
        while (j < x.size() && ++x[j] > 19)
            x[j++] = 0;
        if (j == x.size()) return points;
    }
}

// glpsol's integer optimum: 'o' with the objective, or 'n' for no integer plan.
char glpsolOptimum(const Problem& q, const std::string& dir, long double& objective) {
    std::ostringstream lp;
    lp << "Minimize\n obj:";
    auto term = [&](int v, int32_t j) {
        lp << (v < 0 ? " - " : " + ") << std::abs(v) << " x" << j + 1;
    };
    for (int32_t j = 0; j < q.N; ++j)
        term(q.c[static_cast<size_t>(j)], j);
    lp << "\nSubject To\n";
    for (size_t i = 0; i < q.a.size(); ++i) {
        lp << " r" << i + 1 << ":";
        for (int32_t j = 0; j < q.N; ++j)
            term(q.a[i][static_cast<size_t>(j)], j);
        lp << (static_cast<int32_t>(i) < q.G ? " >= " : " <= ") << q.b[i] << "\n";
    }
    lp << "General\n";
    for (int32_t j = 0; j < q.N; ++j)
        lp << " x" << j + 1;
    lp << "\nEnd\n";
    const std::string file = dir + "/g.lp", sol = dir + "/g.sol";
    std::ofstream(file) << lp.str();
    std::remove(sol.c_str());
    const std::string cmd = "LC_ALL=C glpsol --lp " + file + " -w " + sol + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream in(sol);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string tag, kind;
        int m, n;
        char status = 'u';
        if (s >> tag >> kind >> m >> n >> status >> objective && tag == "s") return status;
    }
    return 'u';
}

TEST(GomoryCuts, KeepEveryIntegerPointCutTheVertexAndReachGlpsolsOptimum) {
    KVADO_REQUIRE_INPUT(std::system("glpsol --version >/dev/null 2>&1") == 0, "glpsol");
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("kvado-gomory-test-" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(dir);
    std::mt19937 rng(20261209);
    int integral = 0, cuts = 0;
    const int problems = 60;
    for (int k = 0; k < problems; ++k) {
        const Problem q = randomProblem(rng);
        const LpProblem p = load(q);
        ASSERT_EQ(session::gomoryRefusal(p, true), "");
        const session::GomoryRun run = session::solveWithCuts(p, 60);
        const auto points = integerPoints(q);
        for (const session::GomoryRound& r : run.rounds) {
            if (!r.cut) continue;
            ++cuts;
            const mip::GomoryCut& c = *r.cut;
            auto lhs = [&](auto x, size_t offset) {
                long double s = 0;
                for (size_t j = 0; j < c.g.size(); ++j)
                    s += c.g[j] * static_cast<long double>(x[j + offset]);
                return s;
            };
            for (const Real g : c.g)
                EXPECT_EQ(g, std::round(g)) << "problem " << k;
            EXPECT_GT(lhs(r.x, 1), c.h + 1e-7L) << "problem " << k << ": the vertex is kept";
            for (const auto& x : points)
                ASSERT_LE(lhs(x, 0), c.h + 1e-9L) << "problem " << k << ": an integer point is cut";
        }
        long double glpk = 0;
        const char status = glpsolOptimum(q, dir, glpk);
        switch (run.end) {
        case session::GomoryRun::End::Integral:
            ++integral;
            EXPECT_EQ(status, 'o') << "problem " << k;
            EXPECT_NEAR(double(run.rounds.back().objective), double(glpk), 1e-6) << "problem " << k;
            break;
        case session::GomoryRun::End::Infeasible:
            EXPECT_TRUE(points.empty()) << "problem " << k;
            EXPECT_EQ(status, 'n') << "problem " << k;
            break;
        default:
            break; // the limit of cuts; the cuts above were still checked
        }
    }
    std::filesystem::remove_all(dir);
    // Most problems end integral well within the limit, and the test saw cuts at all.
    EXPECT_GE(integral, problems * 3 / 4);
    EXPECT_GE(cuts, problems / 2);
}

TEST(GomoryCuts, RefuseProblemsTheyDoNotApplyTo) {
    Problem q;
    q.N = 2;
    q.L = 1;
    q.a = {{2, 3}};
    q.b = {7};
    q.c = {-1, -1};
    LpProblem p = load(q);
    EXPECT_NE(session::gomoryRefusal(p, false), "");
    EXPECT_EQ(session::gomoryRefusal(p, true), "");
    LpProblem half = load(q);
    half.reset();
    half.setCoefficient(1, 1, 0.5L);
    half.setCoefficient(1, 2, 3);
    half.setRightHandSide(1, 7);
    half.takeSnapshots();
    EXPECT_NE(session::gomoryRefusal(half, true), "");
}

} // namespace
