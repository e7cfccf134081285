#include "mip/MipTree.h"

#include <algorithm>
#include <cmath>

namespace kvado::mip {

const char* mipStatusName(MipStatus s) {
    switch (s) {
    case MipStatus::Optimal:
        return "optimal";
    case MipStatus::Feasible:
        return "feasible";
    case MipStatus::Infeasible:
        return "infeasible";
    case MipStatus::Unbounded:
        return "unbounded";
    case MipStatus::Stopped:
        break;
    }
    return "stopped";
}

const char* mipEngineName(MipEngine e) {
    return e == MipEngine::Glpk ? "glpk" : "own";
}

const char* nodeFateName(NodeFate f) {
    switch (f) {
    case NodeFate::Open:
        break;
    case NodeFate::Branched:
        return "branched";
    case NodeFate::PrunedByBound:
        return "pruned";
    case NodeFate::Infeasible:
        return "infeasible";
    case NodeFate::Integer:
        return "integer";
    case NodeFate::Unbounded:
        return "unbounded";
    }
    return "open";
}

model::Model nodeModel(const model::Model& root, const MipNode& node) {
    model::Model m = model::relaxation(root);
    for (const AddedBound& b : node.bounds) {
        model::Column& c = m.columns[static_cast<size_t>(b.column)];
        if (b.upper && b.value < c.upper) {
            c.upper = b.value;
            c.upperExact = {};
        } else if (!b.upper && b.value > c.lower) {
            c.lower = b.value;
            c.lowerExact = {};
        }
    }
    return m;
}

double relativeGap(Real incumbent, Real bound) {
    const long double d = std::fabs(incumbent - bound);
    return static_cast<double>(d / std::max(std::fabs(incumbent), 1e-10L));
}

} // namespace kvado::mip
