#include "mip/MipSolve.h"

namespace kvado::mip {

bool ownCanTake(const model::Model& m) {
    int64_t integers = 0;
    for (const model::Column& c : m.columns)
        integers += model::isInteger(c) ? 1 : 0;
    return integers <= kOwnMaxIntegers && static_cast<int64_t>(m.rows.size()) <= kOwnMaxRows;
}

MipEngine chosenEngine(const model::Model& m, MipEngine asked) {
    if (asked != MipEngine::Auto) return asked;
    int64_t integers = 0;
    for (const model::Column& c : m.columns)
        integers += model::isInteger(c) ? 1 : 0;
    return integers <= kAutoOwnIntegers && static_cast<int64_t>(m.rows.size()) <= kAutoOwnRows
               ? MipEngine::Own
               : MipEngine::Glpk;
}

MipAnswer solveMip(const model::Model& m, const MipOptions& options) {
    const bool own = chosenEngine(m, options.engine) == MipEngine::Own;
    MipAnswer a = own ? solveOwn(m, options) : solveGlpk(m, options);
    if (a.status != MipStatus::Unbounded) return a;
    // An unbounded relaxation makes the integer model unbounded only when it has an integer
    // plan at all (its data being rational): the same search without costs tells.
    model::Model feasibility = m;
    for (model::Column& c : feasibility.columns) {
        c.cost = 0;
        c.costExact = {};
    }
    const MipAnswer f = own ? solveOwn(feasibility, options) : solveGlpk(feasibility, options);
    a.nodes += f.nodes;
    a.seconds += f.seconds;
    if (f.status == MipStatus::Infeasible) {
        a.status = MipStatus::Infeasible;
        a.log.push_back("Релаксация не ограничена, но целочисленного плана нет");
    }
    return a;
}

} // namespace kvado::mip
