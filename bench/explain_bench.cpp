// Times the explanation of infeasible problems of M rows, a third of each kind, about a third of
// their coefficients nonzero, in two kinds: "planted", M unknowns, every row met by a random
// point but one "<=" row that contradicts the sum of 12 ">=" rows (the subset is those 13); and
// "spread", M/3 unknowns and right-hand sides drawn near the point's activities, so that the
// conflict spreads over many rows. Prints a Markdown table; the subset of a 300-row problem
// should be found in under 10 s in a Release build.
//
//   explain_bench [M ...]        default: 100 300 1000

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "analysis/Explain.h"
#include "solver/Simplex.h"

using namespace kvado;

namespace {

double since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// `loose`: the right-hand sides are drawn near the point's activities, not met by it, so the
// conflict spreads over many rows.
void load(int32_t m, int32_t k, bool loose, uint32_t seed, LpProblem& p) {
    std::mt19937 rng(seed);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int32_t n = loose ? m / 3 : m;
    const int32_t g = m / 3, e = m / 3, l = m - g - e + 1; // one more "<=": the conflict
    std::vector<Real> x(static_cast<size_t>(n) + 1);
    for (int32_t j = 1; j <= n; ++j)
        x[static_cast<size_t>(j)] = pick(0, 4);
    std::vector<std::vector<Real>> a(static_cast<size_t>(m) + 2,
                                     std::vector<Real>(static_cast<size_t>(n) + 1, 0));
    std::vector<Real> b(static_cast<size_t>(m) + 2, 0);
    const int32_t rows = g + e + l;
    for (int32_t i = 1; i < rows; ++i) {
        Real activity = 0;
        for (int32_t j = 1; j <= n; ++j)
            if (pick(0, 2) == 0) {
                a[static_cast<size_t>(i)][static_cast<size_t>(j)] = pick(-2, 9);
                activity +=
                    a[static_cast<size_t>(i)][static_cast<size_t>(j)] * x[static_cast<size_t>(j)];
            }
        // Right-hand sides are never negative: a row whose activity is below 0 is turned.
        if (activity < 0) {
            for (int32_t j = 1; j <= n; ++j)
                a[static_cast<size_t>(i)][static_cast<size_t>(j)] *= -1;
            activity = -activity;
        }
        const bool greater = i <= g, equal = i > g && i <= g + e;
        const Real shift = loose ? pick(-6, 6) : 0;
        b[static_cast<size_t>(i)] = std::max<Real>(0, greater ? activity - pick(0, 3) + shift
                                                      : equal ? activity + shift
                                                              : activity + pick(0, 3) + shift);
    }
    // The conflict, in the last row: the sum of K ">=" rows kept below their bound.
    Real bound = 0;
    for (int32_t t = 0; t < k; ++t) {
        const int32_t i = 1 + (t * g) / k;
        for (int32_t j = 1; j <= n; ++j)
            a[static_cast<size_t>(rows)][static_cast<size_t>(j)] +=
                a[static_cast<size_t>(i)][static_cast<size_t>(j)];
        bound += b[static_cast<size_t>(i)];
    }
    b[static_cast<size_t>(rows)] = std::max<Real>(0, bound - 1);
    p.G = g;
    p.E = e;
    p.L = l;
    p.N = n;
    p.eps = 1e-8L;
    p.reset();
    for (int32_t i = 1; i <= rows; ++i)
        for (int32_t j = 1; j <= n; ++j)
            if (a[static_cast<size_t>(i)][static_cast<size_t>(j)] != 0)
                p.setCoefficient(i, j, a[static_cast<size_t>(i)][static_cast<size_t>(j)]);
    for (int32_t j = 1; j <= n; ++j)
        p.setObjective(j, pick(-3, 3));
    for (int32_t i = 1; i <= rows; ++i)
        p.setRightHandSide(i, b[static_cast<size_t>(i)]);
    p.takeSnapshots();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int32_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100, 300, 1000};
    std::printf("| rows | kind | solve s | certificate rows | subset rows | phase-1 solves | "
                "explain s |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const int32_t m : sizes)
        for (const bool loose : {false, true}) {
            LpProblem p;
            load(m, loose ? 0 : 12, loose, 42, p);
            const char* kind = loose ? "spread" : "planted";
            SolverHost host;
            TraceLog log{TraceLog::Discard{}};
            auto t = std::chrono::steady_clock::now();
            const SolveOutcome outcome = solve(p, log, host);
            const double solveSeconds = since(t);
            if (outcome != SolveOutcome::Infeasible) {
                std::printf("| %d | %s | %.3f | (not infeasible) | | | |\n", p.M, kind,
                            solveSeconds);
                continue;
            }
            analysis::ExplainOptions options;
            options.maxSubsetRows = 0;
            options.subsetSeconds = 600;
            options.exactSeconds = 0;
            t = std::chrono::steady_clock::now();
            const analysis::Explanation e = analysis::explain(p, outcome, options);
            const double explainSeconds = since(t);
            const auto& f = e.infeasibility;
            std::printf("| %d | %s | %.3f | %zu | %s | %d | %.3f |\n", p.M, kind, solveSeconds,
                        f.rows.size(),
                        f.subsetComputed ? std::to_string(f.subset.size()).c_str() : "-",
                        f.resolves, explainSeconds);
            std::fflush(stdout);
        }
    return 0;
}
