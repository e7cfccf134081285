#pragma once
// The graphical method for a problem of two unknowns: the feasible region of the constraint
// rows and X >= 0 as a polygon, the optimum read off its vertices, and the part of the plane a
// picture of them shows. Plain data; the graph window draws it.
//
// The region {x >= 0 : every row holds} of two unknowns is a convex polygon, possibly without
// end. Its vertices are the points where two of the lines (the rows' and the axes') meet and
// every constraint holds. When it has no end, its directions without end form a cone in the
// first quadrant whose two edges ("rays") leave the first and the last vertex of the boundary;
// the boundary is then: along rayBefore from far away to vertices.front(), the vertices in
// order, and from vertices.back() along rayAfter.

#include <optional>
#include <string>
#include <vector>

#include "base/Real.h"
#include "solver/RowKind.h"

namespace kvado {
class LpProblem;
}

namespace kvado::analysis {

struct PlanePoint {
    Real x1 = 0, x2 = 0;
};

// One constraint row: a1·X1 + a2·X2 (relation) b.
struct PlaneRow {
    Real a1 = 0, a2 = 0, b = 0;
    RowKind relation = RowKind::Less;
    std::string name;
};

// Minimise c1·X1 + c2·X2 subject to the rows and X >= 0.
struct PlaneProblem {
    std::vector<PlaneRow> rows;
    Real c1 = 0, c2 = 0;
};

// The problem record of two unknowns as the graph shows it; row i is named by rowNames[i-1],
// or by its number where no name is given. Precondition: problem.N == 2.
PlaneProblem planeProblemOf(const LpProblem& problem, const std::vector<std::string>& rowNames);

enum class RegionKind { Empty, Bounded, Unbounded };

struct PlaneRegion {
    RegionKind kind = RegionKind::Empty;
    // The boundary's vertices in order (counter-clockwise for a bounded region); one vertex
    // for a single point, two for a segment.
    std::vector<PlanePoint> vertices;
    // Unbounded only: unit directions leaving vertices.front() and vertices.back(). They are
    // equal when the region's directions without end are one (a half-strip, a ray).
    PlanePoint rayBefore, rayAfter;
};

enum class PlaneOutcome { Infeasible, Optimal, Unbounded };

struct PlaneSolution {
    PlaneRegion region;
    PlaneOutcome outcome = PlaneOutcome::Infeasible;
    // Optimal: an optimal vertex (the first of the boundary's order) and Z there.
    PlanePoint optimum;
    Real objective = 0;
    // Another optimum: Z is constant along an edge from `optimum` to `edgeEnd`, or along a ray
    // from `optimum` in direction `edgeRay`. A Z constant on the whole region (C = 0) has
    // neither: every point is optimal.
    bool otherOptima = false;
    std::optional<PlanePoint> edgeEnd, edgeRay;
    // Unbounded: a unit direction of the region along which Z falls without end, and the
    // vertex it leaves.
    PlanePoint descent, descentFrom;
};

// The relative tolerance of "on the line" and "holds": rows are scaled to unit normals and the
// test allows kPlaneTolerance·max(1, |b|, |x|).
inline constexpr Real kPlaneTolerance = 1e-9L;

PlaneSolution solvePlane(const PlaneProblem& problem);

// A part of the plane: x1 in [x1min, x1max], x2 in [x2min, x2max].
struct ViewBox {
    Real x1min = 0, x1max = 1, x2min = 0, x2max = 1;
    Real width() const { return x1max - x1min; }
    Real height() const { return x2max - x2min; }
    bool contains(const PlanePoint& p, Real slack = 0) const {
        return p.x1 >= x1min - slack && p.x1 <= x1max + slack && p.x2 >= x2min - slack &&
               p.x2 <= x2max + slack;
    }
};

// The default view: the origin, every vertex and every line's intercepts with the axes (those
// far beyond the rest are left out, so that a line almost parallel to an axis does not shrink
// the picture to a dot), a stretch of each ray of an unbounded region, the descent of an
// unbounded objective; with a margin of a tenth on every side.
ViewBox defaultView(const PlaneProblem& problem, const PlaneSolution& solution);

// The part of the line a1·x1 + a2·x2 = b inside the box, as its two ends; nothing when it
// misses the box or a1 = a2 = 0.
std::optional<std::pair<PlanePoint, PlanePoint>> lineInBox(Real a1, Real a2, Real b,
                                                           const ViewBox& box);

// The region's part inside the box as a convex polygon (the rays of an unbounded region taken
// far enough to leave the box). Fewer than three points when that part is a segment or a point
// (a region of a single line or point), empty when the region misses the box.
std::vector<PlanePoint> regionInBox(const PlaneRegion& region, const ViewBox& box);

} // namespace kvado::analysis
