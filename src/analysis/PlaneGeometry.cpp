#include "analysis/PlaneGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "analysis/Ranging.h"
#include "solver/LpProblem.h"

namespace kvado::analysis {

namespace {

// Two vertices closer than this (relative to their size) are one: three lines through one
// point meet in rounding-different places.
constexpr Real kSamePoint = 1e-7L;
// Lines whose unit normals span less than this are parallel.
constexpr Real kParallel = 1e-12L;

Real dot(const PlanePoint& p, Real a1, Real a2) {
    return a1 * p.x1 + a2 * p.x2;
}
Real sizeOf(const PlanePoint& p) {
    return std::max(std::fabs(p.x1), std::fabs(p.x2));
}

// A row scaled to a unit normal; a row without coefficients keeps a zero normal.
struct Line {
    Real a1, a2, b;
    RowKind relation;
};

Line unitLine(const PlaneRow& r) {
    const Real n = std::hypot(r.a1, r.a2);
    if (n == 0) return {0, 0, r.b, r.relation};
    return {r.a1 / n, r.a2 / n, r.b / n, r.relation};
}

// Whether `value` stands in `relation` to `b`, within `tol`.
bool holds(Real value, RowKind relation, Real b, Real tol) {
    switch (relation) {
    case RowKind::Greater:
        return value >= b - tol;
    case RowKind::Equal:
        return std::fabs(value - b) <= tol;
    case RowKind::Less:
    case RowKind::Range: // a plane row is one of the problem record's rows, never a range
        break;
    }
    return value <= b + tol;
}

class Plane {
public:
    explicit Plane(const PlaneProblem& problem) {
        for (const PlaneRow& r : problem.rows)
            m_lines.push_back(unitLine(r));
    }

    bool feasible(const PlanePoint& x) const {
        const Real scale = std::max<Real>(1, sizeOf(x));
        if (x.x1 < -kPlaneTolerance * scale || x.x2 < -kPlaneTolerance * scale) return false;
        for (const Line& l : m_lines)
            if (!holds(dot(x, l.a1, l.a2), l.relation, l.b,
                       kPlaneTolerance * std::max(scale, std::fabs(l.b))))
                return false;
        return true;
    }

    // A direction along which every point of the region stays in it.
    bool endless(const PlanePoint& d) const {
        if (d.x1 < -kPlaneTolerance || d.x2 < -kPlaneTolerance) return false;
        for (const Line& l : m_lines)
            if (!holds(dot(d, l.a1, l.a2), l.relation, 0, kPlaneTolerance)) return false;
        return true;
    }

    // Every point where two of the lines (the rows' and the axes') meet and every constraint
    // holds, each once.
    std::vector<PlanePoint> vertices() const {
        std::vector<Line> lines;
        for (const Line& l : m_lines)
            if (l.a1 != 0 || l.a2 != 0) lines.push_back(l);
        lines.push_back({1, 0, 0, RowKind::Greater});
        lines.push_back({0, 1, 0, RowKind::Greater});
        std::vector<PlanePoint> out;
        for (size_t i = 0; i < lines.size(); ++i)
            for (size_t k = i + 1; k < lines.size(); ++k) {
                const Line& p = lines[i];
                const Line& q = lines[k];
                const Real det = p.a1 * q.a2 - p.a2 * q.a1;
                if (std::fabs(det) <= kParallel) continue;
                const PlanePoint x{(p.b * q.a2 - p.a2 * q.b) / det,
                                   (p.a1 * q.b - p.b * q.a1) / det};
                if (!feasible(x)) continue;
                const bool known = std::any_of(out.begin(), out.end(), [&](const PlanePoint& v) {
                    const Real tol = kSamePoint * std::max<Real>({1, sizeOf(v), sizeOf(x)});
                    return std::fabs(v.x1 - x.x1) <= tol && std::fabs(v.x2 - x.x2) <= tol;
                });
                if (!known) out.push_back(x);
            }
        return out;
    }

    // The edges of the cone of endless directions as angles from the X1 axis; nothing when the
    // region has an end every way. An edge of the cone lies on an axis or on a row's line
    // through the origin, so those directions are the candidates.
    std::optional<std::pair<Real, Real>> endlessCone() const {
        std::vector<PlanePoint> candidates{{1, 0}, {0, 1}};
        for (const Line& l : m_lines) {
            if (l.a1 == 0 && l.a2 == 0) continue;
            candidates.push_back({-l.a2, l.a1});
            candidates.push_back({l.a2, -l.a1});
        }
        std::optional<std::pair<Real, Real>> cone;
        for (const PlanePoint& d : candidates) {
            if (!endless(d)) continue;
            const Real angle =
                std::clamp<Real>(std::atan2(d.x2, d.x1), 0, std::numbers::pi_v<Real> / 2);
            if (!cone)
                cone = {angle, angle};
            else
                cone = std::pair{std::min(cone->first, angle), std::max(cone->second, angle)};
        }
        return cone;
    }

private:
    std::vector<Line> m_lines;
};

PlanePoint direction(Real angle) {
    return {std::cos(angle), std::sin(angle)};
}

PlaneRegion regionOf(const Plane& plane) {
    PlaneRegion region;
    region.vertices = plane.vertices();
    if (region.vertices.empty()) return region;
    std::vector<PlanePoint>& v = region.vertices;
    const auto cone = plane.endlessCone();
    if (!cone) {
        region.kind = RegionKind::Bounded;
        // Counter-clockwise around the centre of the vertices.
        PlanePoint centre;
        for (const PlanePoint& p : v) {
            centre.x1 += p.x1 / static_cast<Real>(v.size());
            centre.x2 += p.x2 / static_cast<Real>(v.size());
        }
        auto angle = [&](const PlanePoint& p) {
            return std::atan2(p.x2 - centre.x2, p.x1 - centre.x1);
        };
        std::sort(v.begin(), v.end(),
                  [&](const PlanePoint& p, const PlanePoint& q) { return angle(p) < angle(q); });
        return region;
    }
    region.kind = RegionKind::Unbounded;
    // Seen from inside the cone (along u), the boundary between the rays is the graph of a
    // convex function over the across direction p, so the vertices follow one another by p·x,
    // and the ray at the low end is the one that goes down in p.
    const PlanePoint lo = direction(cone->first), hi = direction(cone->second);
    const Real angleU = (cone->first + cone->second) / 2;
    const PlanePoint across{-std::sin(angleU), std::cos(angleU)};
    std::sort(v.begin(), v.end(), [&](const PlanePoint& p, const PlanePoint& q) {
        return dot(p, across.x1, across.x2) < dot(q, across.x1, across.x2);
    });
    const bool loFirst = dot(lo, across.x1, across.x2) <= dot(hi, across.x1, across.x2);
    region.rayBefore = loFirst ? lo : hi;
    region.rayAfter = loFirst ? hi : lo;
    return region;
}

// The segment p + t·d, t in [t0, t1], cut to the box (Liang-Barsky); nothing when it misses.
std::optional<std::pair<PlanePoint, PlanePoint>> clipSegment(PlanePoint p, PlanePoint d, Real t0,
                                                             Real t1, const ViewBox& box) {
    auto slab = [&](Real start, Real step, Real lo, Real hi) {
        if (step == 0) return start >= lo && start <= hi;
        Real a = (lo - start) / step, b = (hi - start) / step;
        if (a > b) std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
        return t0 <= t1;
    };
    if (!slab(p.x1, d.x1, box.x1min, box.x1max) || !slab(p.x2, d.x2, box.x2min, box.x2max))
        return std::nullopt;
    return std::pair{PlanePoint{p.x1 + t0 * d.x1, p.x2 + t0 * d.x2},
                     PlanePoint{p.x1 + t1 * d.x1, p.x2 + t1 * d.x2}};
}

// Sutherland-Hodgman: the convex polygon cut by the half-plane s·x >= bound (s·x meaning
// x1 when `first`, else x2, times `sign`).
std::vector<PlanePoint> cutBy(const std::vector<PlanePoint>& poly, bool first, Real sign,
                              Real bound) {
    std::vector<PlanePoint> out;
    auto value = [&](const PlanePoint& p) { return sign * (first ? p.x1 : p.x2) - bound; };
    for (size_t k = 0; k < poly.size(); ++k) {
        const PlanePoint& a = poly[k];
        const PlanePoint& b = poly[(k + 1) % poly.size()];
        const Real va = value(a), vb = value(b);
        if (va >= 0) out.push_back(a);
        if ((va >= 0) != (vb >= 0)) {
            const Real t = va / (va - vb);
            out.push_back({a.x1 + t * (b.x1 - a.x1), a.x2 + t * (b.x2 - a.x2)});
        }
    }
    return out;
}

} // namespace

PlaneProblem planeProblemOf(const LpProblem& p, const std::vector<std::string>& rowNames) {
    PlaneProblem out;
    out.c1 = p.objectiveCoefficient(1);
    out.c2 = p.objectiveCoefficient(2);
    for (int32_t i = 1; i <= p.M; ++i) {
        const RowKind relation = p.isGreaterRow(i) ? RowKind::Greater
                                 : p.isEqualRow(i) ? RowKind::Equal
                                                   : RowKind::Less;
        out.rows.push_back(
            {p.tableau(i, 1), p.tableau(i, 2), p.tableau(i, 0), relation, rowName(rowNames, i)});
    }
    return out;
}

PlaneSolution solvePlane(const PlaneProblem& problem) {
    const Plane plane(problem);
    PlaneSolution s;
    s.region = regionOf(plane);
    const std::vector<PlanePoint>& v = s.region.vertices;
    if (s.region.kind == RegionKind::Empty) return s;
    const bool endless = s.region.kind == RegionKind::Unbounded;
    const Real cNorm = std::hypot(problem.c1, problem.c2);
    auto z = [&](const PlanePoint& x) { return dot(x, problem.c1, problem.c2); };
    // The change of Z along a unit direction, per unit of |C|.
    auto slope = [&](const PlanePoint& d) { return z(d) / cNorm; };
    s.outcome = PlaneOutcome::Optimal;
    if (cNorm == 0) {
        s.optimum = v.front();
        s.objective = 0;
        s.otherOptima = v.size() > 1 || endless;
        return s;
    }
    if (endless) {
        const bool before = slope(s.region.rayBefore) <= slope(s.region.rayAfter);
        const PlanePoint& ray = before ? s.region.rayBefore : s.region.rayAfter;
        if (slope(ray) < -kPlaneTolerance) {
            s.outcome = PlaneOutcome::Unbounded;
            s.descent = ray;
            s.descentFrom = before ? v.front() : v.back();
            return s;
        }
    }
    size_t best = 0;
    for (size_t k = 1; k < v.size(); ++k)
        if (z(v[k]) < z(v[best])) best = k;
    const Real zBest = z(v[best]);
    auto optimal = [&](const PlanePoint& x) {
        return z(x) - zBest <=
               kPlaneTolerance * cNorm * std::max<Real>({1, sizeOf(x), sizeOf(v[best])});
    };
    // The first optimal vertex in the boundary's order, and a neighbour of it that is optimal
    // too (round the polygon when it is bounded).
    size_t first = best;
    for (size_t k = 0; k < v.size(); ++k)
        if (optimal(v[k])) {
            first = k;
            break;
        }
    s.optimum = v[first];
    s.objective = z(v[first]);
    const size_t n = v.size();
    std::vector<size_t> neighbours;
    if (!endless && n >= 2) {
        neighbours.push_back((first + 1) % n);
        neighbours.push_back((first + n - 1) % n);
    } else {
        if (first + 1 < n) neighbours.push_back(first + 1);
        if (first > 0) neighbours.push_back(first - 1);
    }
    for (size_t k : neighbours)
        if (k != first && optimal(v[k])) {
            s.edgeEnd = v[k];
            break;
        }
    if (!s.edgeEnd && endless) {
        if (first == 0 && std::fabs(slope(s.region.rayBefore)) <= kPlaneTolerance)
            s.edgeRay = s.region.rayBefore;
        else if (first == n - 1 && std::fabs(slope(s.region.rayAfter)) <= kPlaneTolerance)
            s.edgeRay = s.region.rayAfter;
    }
    s.otherOptima = s.edgeEnd || s.edgeRay;
    return s;
}

ViewBox defaultView(const PlaneProblem& problem, const PlaneSolution& solution) {
    std::vector<PlanePoint> points{{0, 0}};
    const PlaneRegion& r = solution.region;
    points.insert(points.end(), r.vertices.begin(), r.vertices.end());
    auto boxOf = [](const std::vector<PlanePoint>& ps) {
        ViewBox b{ps.front().x1, ps.front().x1, ps.front().x2, ps.front().x2};
        for (const PlanePoint& p : ps) {
            b.x1min = std::min(b.x1min, p.x1);
            b.x1max = std::max(b.x1max, p.x1);
            b.x2min = std::min(b.x2min, p.x2);
            b.x2max = std::max(b.x2max, p.x2);
        }
        return b;
    };
    // A stretch of every endless direction, as long as the picture of the vertices.
    const ViewBox core = boxOf(points);
    const Real stretch = std::max<Real>(1, std::max(core.width(), core.height()));
    auto along = [&](const PlanePoint& from, const PlanePoint& d) {
        points.push_back({from.x1 + stretch * d.x1, from.x2 + stretch * d.x2});
    };
    if (r.kind == RegionKind::Unbounded) {
        along(r.vertices.front(), r.rayBefore);
        along(r.vertices.back(), r.rayAfter);
    }
    if (solution.outcome == PlaneOutcome::Unbounded) along(solution.descentFrom, solution.descent);
    std::vector<PlanePoint> intercepts;
    for (const PlaneRow& row : problem.rows) {
        if (row.a1 != 0) intercepts.push_back({row.b / row.a1, 0});
        if (row.a2 != 0) intercepts.push_back({0, row.b / row.a2});
    }
    const ViewBox shape = boxOf(points);
    const Real size = std::max(shape.width(), shape.height());
    for (const PlanePoint& p : intercepts)
        if (size == 0 || sizeOf(p) <= 20 * size) points.push_back(p);
    ViewBox b = boxOf(points);
    // A picture of a single point, or of a line along an axis, still has room.
    const Real extent = std::max<Real>({b.width(), b.height(), 1e-6L * sizeOf({b.x1max, b.x2max})});
    const Real minimum = extent > 0 ? extent / 4 : 1;
    auto widen = [&](Real& lo, Real& hi) {
        if (hi - lo < minimum) {
            const Real mid = (lo + hi) / 2;
            lo = mid - minimum / 2;
            hi = mid + minimum / 2;
        }
        const Real margin = (hi - lo) / 10;
        lo -= margin;
        hi += margin;
    };
    widen(b.x1min, b.x1max);
    widen(b.x2min, b.x2max);
    return b;
}

std::optional<std::pair<PlanePoint, PlanePoint>> lineInBox(Real a1, Real a2, Real b,
                                                           const ViewBox& box) {
    const Real n2 = a1 * a1 + a2 * a2;
    if (n2 == 0) return std::nullopt;
    const PlanePoint foot{a1 * b / n2, a2 * b / n2};
    const Real inf = std::numeric_limits<Real>::infinity();
    return clipSegment(foot, {-a2, a1}, -inf, inf, box);
}

std::vector<PlanePoint> regionInBox(const PlaneRegion& region, const ViewBox& box) {
    const std::vector<PlanePoint>& v = region.vertices;
    if (v.empty()) return {};
    std::vector<PlanePoint> poly = v;
    if (region.kind == RegionKind::Unbounded) {
        // Far enough along the rays that the chord between their far ends passes the box.
        const PlanePoint centre{(box.x1min + box.x1max) / 2, (box.x2min + box.x2max) / 2};
        Real reach = std::hypot(box.width(), box.height());
        for (const PlanePoint& p : v)
            reach = std::max(reach, std::hypot(p.x1 - centre.x1, p.x2 - centre.x2));
        const Real far = 4 * reach + 1;
        poly.insert(poly.begin(), {v.front().x1 + far * region.rayBefore.x1,
                                   v.front().x2 + far * region.rayBefore.x2});
        poly.push_back(
            {v.back().x1 + far * region.rayAfter.x1, v.back().x2 + far * region.rayAfter.x2});
        // A ray alone: its start and its far end.
        if (v.size() == 1 &&
            std::fabs(region.rayBefore.x1 - region.rayAfter.x1) <= kPlaneTolerance &&
            std::fabs(region.rayBefore.x2 - region.rayAfter.x2) <= kPlaneTolerance)
            poly.erase(poly.begin());
    }
    if (poly.size() == 1) return box.contains(poly.front()) ? poly : std::vector<PlanePoint>{};
    if (poly.size() == 2) {
        const PlanePoint d{poly[1].x1 - poly[0].x1, poly[1].x2 - poly[0].x2};
        const auto seg = clipSegment(poly[0], d, 0, 1, box);
        if (!seg) return {};
        return {seg->first, seg->second};
    }
    poly = cutBy(poly, true, 1, box.x1min);
    poly = cutBy(poly, true, -1, -box.x1max);
    poly = cutBy(poly, false, 1, box.x2min);
    poly = cutBy(poly, false, -1, -box.x2max);
    return poly;
}

} // namespace kvado::analysis
