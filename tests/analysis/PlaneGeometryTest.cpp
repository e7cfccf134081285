// The graphical method's geometry against an enumeration of its own and against the simplex
// solver, on random problems of two unknowns with rows of every kind.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "analysis/PlaneGeometry.h"
#include "solver/TestSupport.h"

namespace kvado::analysis {
namespace {

using test::ProblemData;

// Feasibility as the problem states it, with an absolute tolerance that suits small integers.
bool inRegion(const ProblemData& d, Real x1, Real x2) {
    constexpr Real tol = 1e-7L;
    if (x1 < -tol || x2 < -tol) return false;
    for (int32_t i = 0; i < d.M(); ++i) {
        const Real r = d.A[i][0] * x1 + d.A[i][1] * x2 - d.B[i];
        if (i < d.G ? r < -tol : i < d.G + d.E ? std::fabs(r) > tol : r > tol) return false;
    }
    return true;
}

// Every feasible basic solution: each pair of lines among the rows and the two axes that meet
// in one point, solved by elimination, kept when the point is feasible.
std::vector<PlanePoint> basicSolutions(const ProblemData& d) {
    std::vector<std::array<Real, 3>> lines{{1, 0, 0}, {0, 1, 0}};
    for (int32_t i = 0; i < d.M(); ++i)
        lines.push_back({d.A[i][0], d.A[i][1], d.B[i]});
    std::vector<PlanePoint> out;
    for (size_t p = 0; p < lines.size(); ++p)
        for (size_t q = p + 1; q < lines.size(); ++q) {
            auto [a, b, e] = lines[p];
            auto [c, dd, f] = lines[q];
            if (std::fabs(a) < std::fabs(c)) {
                std::swap(a, c);
                std::swap(b, dd);
                std::swap(e, f);
            }
            if (a == 0) continue;
            const Real m = c / a, den = dd - m * b;
            if (std::fabs(den) < 1e-12L) continue;
            const Real x2 = (f - m * e) / den, x1 = (e - b * x2) / a;
            if (!inRegion(d, x1, x2)) continue;
            if (std::none_of(out.begin(), out.end(), [&](const PlanePoint& v) {
                    return std::fabs(v.x1 - x1) < 1e-6L && std::fabs(v.x2 - x2) < 1e-6L;
                }))
                out.push_back({x1, x2});
        }
    return out;
}

bool near(const PlanePoint& p, Real x1, Real x2) {
    return std::fabs(p.x1 - x1) < 1e-6L && std::fabs(p.x2 - x2) < 1e-6L;
}

// Whether p and q lie on one of the problem's lines (a row's or an axis).
bool onOneLine(const ProblemData& d, const PlanePoint& p, const PlanePoint& q) {
    auto on = [](Real a1, Real a2, Real b, const PlanePoint& x) {
        return std::fabs(a1 * x.x1 + a2 * x.x2 - b) < 1e-7L;
    };
    if (on(1, 0, 0, p) && on(1, 0, 0, q)) return true;
    if (on(0, 1, 0, p) && on(0, 1, 0, q)) return true;
    for (int32_t i = 0; i < d.M(); ++i)
        if ((d.A[i][0] != 0 || d.A[i][1] != 0) && on(d.A[i][0], d.A[i][1], d.B[i], p) &&
            on(d.A[i][0], d.A[i][1], d.B[i], q))
            return true;
    return false;
}

PlaneRow row(Real a1, Real a2, Real b, RowKind relation) {
    return {a1, a2, b, relation, std::string()};
}

PlaneSolution geometryOf(const test::Solved& s) {
    return solvePlane(planeProblemOf(s.problem, {}));
}

TEST(PlaneGeometry, VerticesAreTheBasicSolutionsAndTheOptimumIsTheSolvers) {
    std::mt19937 rng(20261208);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int kinds[3] = {0, 0, 0};
    for (int trial = 0; trial < 300; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        ProblemData d;
        d.N = 2;
        d.G = pick(0, 2);
        d.E = pick(0, 4) == 0 ? 1 : 0;
        d.L = pick(d.G + d.E == 0 ? 1 : 0, 3);
        for (int32_t i = 0; i < d.M(); ++i) {
            d.A.push_back({Real(pick(-2, 4)), Real(pick(-2, 4))});
            d.B.push_back(pick(0, 8));
        }
        d.C = {Real(pick(-3, 3)), Real(pick(-3, 3))};
        if (!test::caseOfThisLocale(trial)) continue;
        test::Solved solved;
        test::solveProblem(d, solved);
        const PlaneSolution g = geometryOf(solved);
        ++kinds[static_cast<int>(g.region.kind)];

        const std::vector<PlanePoint> basic = basicSolutions(d);
        ASSERT_EQ(g.region.vertices.size(), basic.size());
        for (const PlanePoint& v : basic)
            EXPECT_TRUE(std::any_of(g.region.vertices.begin(), g.region.vertices.end(),
                                    [&](const PlanePoint& p) { return near(p, v.x1, v.x2); }))
                << v.x1 << " " << v.x2;

        // The region's extent, asked of the solver: X >= 0 makes the region unbounded exactly
        // when X1 + X2 has no maximum on it.
        ProblemData sum = d;
        sum.C = {-1, -1};
        test::Solved summed;
        test::solveProblem(sum, summed);
        const RegionKind kind = solved.outcome == SolveOutcome::Infeasible  ? RegionKind::Empty
                                : summed.outcome == SolveOutcome::Unbounded ? RegionKind::Unbounded
                                                                            : RegionKind::Bounded;
        ASSERT_EQ(g.region.kind, kind);

        // The boundary: neighbours share a line, a bounded polygon turns left at every vertex,
        // and the rays stay in the region.
        const auto& v = g.region.vertices;
        const bool bounded = kind == RegionKind::Bounded;
        const size_t edges = v.empty() ? 0 : bounded && v.size() > 2 ? v.size() : v.size() - 1;
        for (size_t k = 0; k < edges; ++k) {
            const PlanePoint& p = v[k];
            const PlanePoint& q = v[(k + 1) % v.size()];
            EXPECT_TRUE(onOneLine(d, p, q)) << k;
            if (bounded && v.size() > 2) {
                const PlanePoint& r = v[(k + 2) % v.size()];
                EXPECT_GT((q.x1 - p.x1) * (r.x2 - q.x2) - (q.x2 - p.x2) * (r.x1 - q.x1), 0);
            }
        }
        if (kind == RegionKind::Unbounded) {
            for (Real t : {1.0L, 1000.0L}) {
                EXPECT_TRUE(inRegion(d, v.front().x1 + t * g.region.rayBefore.x1,
                                     v.front().x2 + t * g.region.rayBefore.x2));
                EXPECT_TRUE(inRegion(d, v.back().x1 + t * g.region.rayAfter.x1,
                                     v.back().x2 + t * g.region.rayAfter.x2));
            }
        }

        // The optimum against the solver's.
        const PlaneOutcome outcome =
            solved.outcome == SolveOutcome::Infeasible  ? PlaneOutcome::Infeasible
            : solved.outcome == SolveOutcome::Unbounded ? PlaneOutcome::Unbounded
                                                        : PlaneOutcome::Optimal;
        ASSERT_EQ(g.outcome, outcome);
        const Real x1 = solved.problem.solution[1], x2 = solved.problem.solution[2];
        if (outcome == PlaneOutcome::Optimal) {
            EXPECT_NEAR(static_cast<double>(g.objective),
                        static_cast<double>(d.C[0] * x1 + d.C[1] * x2), 1e-7);
            if (!g.otherOptima) {
                EXPECT_TRUE(near(g.optimum, x1, x2));
            }
        }
        if (outcome == PlaneOutcome::Unbounded) {
            EXPECT_LT(d.C[0] * g.descent.x1 + d.C[1] * g.descent.x2, 0);
            EXPECT_TRUE(inRegion(d, g.descentFrom.x1 + 1000 * g.descent.x1,
                                 g.descentFrom.x2 + 1000 * g.descent.x2));
        }

        // The default view shows every vertex inside its margins, and the part of the region
        // in it lies in the region and in the view.
        const ViewBox box = defaultView(planeProblemOf(solved.problem, {}), g);
        const Real w = box.width() / 20, h = box.height() / 20;
        for (const PlanePoint& p : v) {
            EXPECT_TRUE(p.x1 >= box.x1min + w && p.x1 <= box.x1max - w);
            EXPECT_TRUE(p.x2 >= box.x2min + h && p.x2 <= box.x2max - h);
        }
        for (const PlanePoint& p : regionInBox(g.region, box)) {
            EXPECT_TRUE(box.contains(p, 1e-9L * (w + h)));
            EXPECT_TRUE(inRegion(d, p.x1, p.x2)) << p.x1 << " " << p.x2;
        }
    }
    // Every kind of region came up often enough to count.
    for (int count : kinds)
        EXPECT_GT(count, 20);
}

// Hand-worked cases: the shape of the optimum the picture draws.
TEST(PlaneGeometry, OtherOptimaAndUnboundedObjectives) {
    struct Case {
        const char* what;
        std::vector<PlaneRow> rows;
        Real c1, c2;
        PlaneOutcome outcome;
        PlanePoint optimum;
        std::optional<PlanePoint> edgeEnd, edgeRay;
    };
    using R = RowKind;
    const Case cases[] = {
        {"unique",
         {row(1, 0, 4, R::Less), row(0, 2, 12, R::Less), row(3, 2, 18, R::Less)},
         -3,
         -5,
         PlaneOutcome::Optimal,
         {2, 6},
         {},
         {}},
        {"edge",
         {row(1, 1, 4, R::Less)},
         -1,
         -1,
         PlaneOutcome::Optimal,
         {4, 0},
         PlanePoint{0, 4},
         {}},
        {"edge of an unbounded region",
         {row(1, 1, 2, R::Greater)},
         1,
         1,
         PlaneOutcome::Optimal,
         {2, 0},
         PlanePoint{0, 2},
         {}},
        {"ray",
         {row(0, 1, 1, R::Greater)},
         0,
         1,
         PlaneOutcome::Optimal,
         {0, 1},
         {},
         PlanePoint{1, 0}},
        {"unbounded", {row(0, 1, 3, R::Less)}, -1, 0, PlaneOutcome::Unbounded, {}, {}, {}},
        {"empty",
         {row(1, 1, 5, R::Greater), row(1, 1, 2, R::Less)},
         1,
         1,
         PlaneOutcome::Infeasible,
         {},
         {},
         {}},
        {"segment",
         {row(1, -1, 1, R::Equal), row(1, 0, 3, R::Less)},
         1,
         2,
         PlaneOutcome::Optimal,
         {1, 0},
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PlaneSolution s = solvePlane({c.rows, c.c1, c.c2});
        ASSERT_EQ(s.outcome, c.outcome);
        if (c.outcome == PlaneOutcome::Unbounded) {
            EXPECT_TRUE(near(s.descent, 1, 0));
        }
        if (c.outcome != PlaneOutcome::Optimal) continue;
        EXPECT_TRUE(near(s.optimum, c.optimum.x1, c.optimum.x2));
        EXPECT_EQ(s.otherOptima, c.edgeEnd || c.edgeRay);
        ASSERT_EQ(s.edgeEnd.has_value(), c.edgeEnd.has_value());
        if (c.edgeEnd) {
            EXPECT_TRUE(near(*s.edgeEnd, c.edgeEnd->x1, c.edgeEnd->x2));
        }
        ASSERT_EQ(s.edgeRay.has_value(), c.edgeRay.has_value());
        if (c.edgeRay) {
            EXPECT_TRUE(near(*s.edgeRay, c.edgeRay->x1, c.edgeRay->x2));
        }
    }
}

// The default view holds every line's intercepts; a line cut by the view ends on its edges.
TEST(PlaneGeometry, DefaultViewHoldsTheInterceptsAndLinesEndOnItsEdges) {
    const PlaneProblem p{{row(1, 1, 4, RowKind::Less), row(1, -1, 1, RowKind::Greater)}, 1, 1};
    const ViewBox box = defaultView(p, solvePlane(p));
    for (const PlanePoint& x : {PlanePoint{4, 0}, PlanePoint{0, 4}, PlanePoint{1, 0},
                                PlanePoint{0, -1}, PlanePoint{0, 0}})
        EXPECT_TRUE(box.contains(x, -0.1L)) << x.x1 << " " << x.x2;
    const auto seg = lineInBox(1, -1, 1, box);
    ASSERT_TRUE(seg.has_value());
    for (const PlanePoint& e : {seg->first, seg->second}) {
        EXPECT_NEAR(static_cast<double>(e.x1 - e.x2), 1, 1e-12);
        EXPECT_TRUE(box.contains(e, 1e-12L));
        const bool onEdge =
            std::fabs(e.x1 - box.x1min) < 1e-12L || std::fabs(e.x1 - box.x1max) < 1e-12L ||
            std::fabs(e.x2 - box.x2min) < 1e-12L || std::fabs(e.x2 - box.x2max) < 1e-12L;
        EXPECT_TRUE(onEdge);
    }
    EXPECT_FALSE(lineInBox(1, 0, 1000, box).has_value());
}

} // namespace
} // namespace kvado::analysis
