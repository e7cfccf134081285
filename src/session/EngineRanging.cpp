#include "session/EngineRanging.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/ModelIo.h"
#include "text/NumberText.h"

namespace kvado::session {

namespace {

using engine::BasisStatus;
using engine::SparseRange;
constexpr Real kInf = std::numeric_limits<Real>::infinity();

// A marginal turned to the user's sense may be -0, which a reader takes for a sign.
Real unsigned0(Real v) {
    return v == 0 ? 0 : v;
}

class EngineRanger {
public:
    EngineRanger(const model::Model& m, const engine::SparseRanging& g,
                 const model::UserSolution& u, Real eps)
        : m(m), g(g), user(u), eps(eps), rows(static_cast<int64_t>(m.rows.size())),
          empty(m.rows.size(), true) {
        for (const model::Entry& e : m.entries) {
            const model::Column& c = m.columns[static_cast<size_t>(e.column)];
            if (e.value != 0 && c.lower != c.upper) empty[static_cast<size_t>(e.row)] = false;
        }
    }

    analysis::Ranges run();

private:
    analysis::ColumnRange column(size_t j) const;
    analysis::RowRange row(size_t r) const;
    std::optional<std::string> nameOf(int64_t var) const {
        if (var < 0) return std::nullopt;
        if (var < rows) return m.rows[static_cast<size_t>(var)].name;
        return m.columns[static_cast<size_t>(var - rows)].name;
    }
    // The objective where a quantity moving it by `slope` a unit has moved to `end` from
    // `from`: an end without a limit has one only when the objective does not move.
    std::optional<Real> objectiveAt(Real end, Real from, Real slope) const {
        if (std::isfinite(end)) return user.objective + (end - from) * slope;
        if (std::fabs(slope) <= eps) return user.objective;
        return std::nullopt;
    }
    void flags(analysis::Ranges& out) const;

    const model::Model& m;
    const engine::SparseRanging& g;
    const model::UserSolution& user;
    const Real eps;
    const int64_t rows;
    std::vector<bool> empty; // rows without a coefficient on a column that is not fixed
};

analysis::Ranges EngineRanger::run() {
    analysis::Ranges out;
    out.objective = user.objective;
    flags(out);
    for (size_t j = 0; j < m.columns.size(); ++j)
        out.columns.push_back(column(j));
    for (size_t r = 0; r < m.rows.size(); ++r)
        out.rows.push_back(row(r));
    return out;
}

// A basic variable at one of its bounds (a free one at 0) makes the optimum degenerate; a
// non-basic one that is not fixed with a marginal of 0, another optimum.
void EngineRanger::flags(analysis::Ranges& out) const {
    auto near = [&](Real v, Real bound) {
        return std::isfinite(bound) && std::fabs(v - bound) <= eps;
    };
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const model::Column& c = m.columns[j];
        if (c.lower == c.upper) continue;
        const Real x = user.columnValue[j];
        if (g.columnStatus[j] == BasisStatus::Basic) {
            const bool free = !std::isfinite(c.lower) && !std::isfinite(c.upper);
            if (near(x, c.lower) || near(x, c.upper) || (free && std::fabs(x) <= eps))
                out.degenerate = true;
        } else if (std::fabs(user.columnMarginal[j]) <= eps) {
            out.otherOptima = true;
        }
    }
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const model::Row& mr = m.rows[r];
        if (empty[r]) continue;
        if (g.rowStatus[r] == BasisStatus::Basic) {
            if (near(user.rowActivity[r], mr.lower) || near(user.rowActivity[r], mr.upper))
                out.degenerate = true;
        } else if (mr.lower != mr.upper && std::fabs(user.rowMarginal[r]) <= eps) {
            out.otherOptima = true;
        }
    }
}

analysis::ColumnRange EngineRanger::column(size_t j) const {
    const model::Column& col = m.columns[j];
    const SparseRange& r = g.columns[j];
    const BasisStatus st = g.columnStatus[j];
    analysis::ColumnRange c;
    c.name = col.name;
    c.cost = col.cost;
    c.value = user.columnValue[j];
    c.reducedCost = unsigned0(user.columnMarginal[j]);
    c.objectiveAtActivityUpper = user.objective;
    const Real d = user.columnMarginal[j];
    const int sense = m.sense == model::Sense::Maximize ? -1 : 1;
    const auto self = rows + static_cast<int64_t>(j);
    if (col.lower == col.upper) {
        // A constant of the standard form: no cost moves the plan.
        c.costLower = -kInf;
        c.costUpper = kInf;
    } else if (st == BasisStatus::Basic) {
        c.basic = true;
        c.costLower = std::min(r.lower, c.cost);
        c.costUpper = std::max(r.upper, c.cost);
        c.limitingAtCostLower = nameOf(r.lowerLimit);
        c.limitingAtCostUpper = nameOf(r.upperLimit);
    } else if (st == BasisStatus::Free) {
        // Non-basic free, both halves at 0: each caps the cost on its own side, and the
        // variable that leaves is the one the push that way meets.
        c.costLower = c.cost - std::max<Real>(d, 0);
        c.costUpper = c.cost + std::max<Real>(-d, 0);
        c.limitingAtCostLower = nameOf(sense > 0 ? r.upperLimit : r.lowerLimit);
        c.limitingAtCostUpper = nameOf(sense > 0 ? r.lowerLimit : r.upperLimit);
    } else {
        // At a bound: pushed into the plan up from its lower bound, or down from an upper
        // bound without a lower one; at the upper bound of two it is its bound row's slack
        // that enters, named by the column, and nothing is pushed.
        const int dir = st == BasisStatus::AtUpper ? -1 : 1;
        const bool pushed = dir > 0 || !std::isfinite(col.lower);
        const int64_t pushLimit = dir > 0 ? r.upperLimit : r.lowerLimit;
        const std::optional<std::string> limit = nameOf(pushed ? pushLimit : self);
        const Real end = c.cost - d;
        if (sense * dir > 0) {
            c.costLower = std::min(end, c.cost);
            c.costUpper = kInf;
            c.limitingAtCostLower = limit;
        } else {
            c.costLower = -kInf;
            c.costUpper = std::max(end, c.cost);
            c.limitingAtCostUpper = limit;
        }
        if (pushed && r.made) {
            const Real at = dir > 0 ? col.lower : col.upper;
            const Real step = std::max<Real>(dir > 0 ? r.upper - at : at - r.lower, 0);
            c.activityUpper = step;
            c.objectiveAtActivityUpper = objectiveAt(step, 0, d * dir);
            c.limitingAtActivityUpper = nameOf(pushLimit);
        }
    }
    c.objectiveAtCostLower = objectiveAt(c.costLower, c.cost, c.value);
    c.objectiveAtCostUpper = objectiveAt(c.costUpper, c.cost, c.value);
    return c;
}

analysis::RowRange EngineRanger::row(size_t i) const {
    const model::Row& mr = m.rows[i];
    const SparseRange& r = g.rows[i];
    const BasisStatus st = g.rowStatus[i];
    analysis::RowRange u;
    u.name = mr.name;
    u.activity = user.rowActivity[i];
    u.shadowPrice = unsigned0(user.rowMarginal[i]);
    const bool equal =
        mr.kind == RowKind::Equal || (mr.kind == RowKind::Range && mr.lower == mr.upper);
    u.kind = mr.kind == RowKind::Greater ? RowKind::Greater
             : equal                     ? RowKind::Equal
                                         : RowKind::Less;
    if (mr.kind == RowKind::Range && !equal && st == BasisStatus::AtLower)
        u.kind = RowKind::Greater;
    u.rhs = u.kind == RowKind::Less ? mr.upper : mr.lower;
    const std::optional<std::string> self = mr.name;
    if (empty[i]) {
        // Its activity is a constant: the row holds for every bound that meets it.
        u.rhsLower = u.kind == RowKind::Greater ? -kInf : u.activity;
        u.rhsUpper = u.kind == RowKind::Less ? kInf : u.activity;
        u.objectiveAtRhsLower = u.objectiveAtRhsUpper = user.objective;
    } else if (st == BasisStatus::Basic) {
        // Its own slack is basic: the bound moves it alone, down to the activity.
        if (u.kind == RowKind::Equal) {
            u.rhsLower = u.rhsUpper = u.rhs;
            u.limitingAtRhsLower = u.limitingAtRhsUpper = self;
        } else if (u.kind == RowKind::Less) {
            u.rhsLower = std::min(u.activity, u.rhs);
            u.rhsUpper = kInf;
            u.limitingAtRhsLower = self;
        } else {
            u.rhsLower = -kInf;
            u.rhsUpper = std::max(u.activity, u.rhs);
            u.limitingAtRhsUpper = self;
        }
        u.objectiveAtRhsLower = objectiveAt(u.rhsLower, u.rhs, u.shadowPrice);
        u.objectiveAtRhsUpper = objectiveAt(u.rhsUpper, u.rhs, u.shadowPrice);
    } else {
        u.binding = true;
        u.rhsLower = std::min(r.lower, u.rhs);
        u.rhsUpper = std::max(r.upper, u.rhs);
        u.limitingAtRhsLower = nameOf(r.lowerLimit);
        u.limitingAtRhsUpper = nameOf(r.upperLimit);
        u.objectiveAtRhsLower = objectiveAt(u.rhsLower, u.rhs, u.shadowPrice);
        u.objectiveAtRhsUpper = objectiveAt(u.rhsUpper, u.rhs, u.shadowPrice);
    }
    u.slack = u.kind == RowKind::Greater ? u.activity - u.rhs : u.rhs - u.activity;
    return u;
}

} // namespace

analysis::Ranges engineRanges(const model::Model& m, const engine::SparseRanging& g,
                              const model::UserSolution& user, Real eps) {
    return EngineRanger(m, g, user, eps).run();
}

bool rangeEngineAnswer(const model::Model& m, const engine::SparseAnswer& answer,
                       const model::UserSolution& user, double seconds, char separator,
                       analysis::Ranges& out, std::string& why) {
    engine::SparseRangingOptions options;
    options.seconds = seconds;
    const engine::SparseRanging g = engine::rangeSparse(m, answer, options);
    switch (g.status) {
    case engine::SparseRanging::Status::Done:
        out = engineRanges(m, g, user, model::kModelEps);
        return true;
    case engine::SparseRanging::Status::OverBudget:
        why = "анализ не уложился в " + text::formatShortGeneral(seconds, separator) +
              " с: сделано " + std::to_string(g.analysed) + " из " + std::to_string(g.total) +
              " строк и столбцов";
        return false;
    case engine::SparseRanging::Status::Failed:
        break;
    }
    why = g.failure;
    return false;
}

} // namespace kvado::session
