#include "analysis/UserRanging.h"

#include <cmath>
#include <limits>
#include <utility>

namespace kvado::analysis {

namespace {

using ColumnKind = model::StandardForm::ColumnKind;
constexpr Real kInf = std::numeric_limits<Real>::infinity();

// A marginal turned to the user's sense may be -0, which a reader takes for a sign.
Real unsigned0(Real v) {
    return v == 0 ? 0 : v;
}

// One end of a cost range as the user sees it.
struct CostEnd {
    Real cost = 0;
    std::optional<std::string> limiting;
};

// A standard column's cost range carried to a user cost that is `factor` (±1) times it.
std::pair<CostEnd, CostEnd> userCostRange(const ColumnRange& s, int factor, Real userCost) {
    const CostEnd lower{userCost - (s.cost - s.costLower), s.limitingAtCostLower};
    const CostEnd upper{userCost + (s.costUpper - s.cost), s.limitingAtCostUpper};
    if (factor > 0) return {lower, upper};
    return {CostEnd{userCost - (s.costUpper - s.cost), s.limitingAtCostUpper},
            CostEnd{userCost + (s.cost - s.costLower), s.limitingAtCostLower}};
}

class UserRanger {
public:
    UserRanger(const model::Model& m, const model::StandardForm& sf, const LpProblem& p,
               const model::UserSolution& u)
        : m(m), sf(sf), p(p), user(u) {}

    Ranges run();

private:
    ColumnRange column(size_t j) const;
    RowRange row(size_t r) const;
    // The objective in the user's sense for the standard form's Z.
    std::optional<Real> userObjective(const std::optional<Real>& Z) const {
        if (!Z) return std::nullopt;
        return sf.sign * *Z + sf.offset;
    }
    // At a cost end the plan is the optimum's: the objective moves by the change times the
    // value, and an end without a limit has an objective only when the value is 0.
    std::optional<Real> objectiveAtCost(Real end, const ColumnRange& c) const {
        if (std::isfinite(end)) return user.objective + (end - c.cost) * c.value;
        if (std::fabs(c.value) <= p.eps) return user.objective;
        return std::nullopt;
    }

    const model::Model& m;
    const model::StandardForm& sf;
    const LpProblem& p;
    const model::UserSolution& user;
    Ranges standard;
};

Ranges UserRanger::run() {
    // The standard form's variables named by what they stand for in the model.
    std::vector<std::string> columnNames(static_cast<size_t>(sf.N)),
        rowNames(static_cast<size_t>(sf.M()));
    std::vector<int32_t> twins(static_cast<size_t>(sf.N), 0);
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const auto& map = sf.columnMap[j];
        if (map.column < 0) continue;
        const auto c = static_cast<size_t>(map.column);
        columnNames[c] = m.columns[j].name;
        if (map.boundRow >= 0) rowNames[static_cast<size_t>(map.boundRow)] = m.columns[j].name;
        if (map.kind == ColumnKind::Free) {
            columnNames[c + 1] = m.columns[j].name;
            twins[c] = map.column + 2;
            twins[c + 1] = map.column + 1;
        }
    }
    for (size_t r = 0; r < m.rows.size(); ++r)
        for (const int32_t i : sf.rowMap[r].row)
            if (i >= 0) rowNames[static_cast<size_t>(i)] = m.rows[r].name;
    standard = computeRanges(p, columnNames, rowNames, twins);

    Ranges out;
    out.degenerate = standard.degenerate;
    out.otherOptima = standard.otherOptima;
    out.objective = user.objective;
    for (size_t j = 0; j < m.columns.size(); ++j)
        out.columns.push_back(column(j));
    for (size_t r = 0; r < m.rows.size(); ++r)
        out.rows.push_back(row(r));
    return out;
}

ColumnRange UserRanger::column(size_t j) const {
    const model::Column& col = m.columns[j];
    const auto& map = sf.columnMap[j];
    ColumnRange c;
    c.name = col.name;
    c.cost = col.cost;
    c.value = user.columnValue[j];
    c.reducedCost = unsigned0(user.columnMarginal[j]);
    c.objectiveAtActivityUpper = user.objective;
    if (map.kind == ColumnKind::Fixed) {
        // Substituted as a constant: no cost moves the plan.
        c.costLower = -kInf;
        c.costUpper = kInf;
    } else {
        const auto at = static_cast<size_t>(map.column);
        const ColumnRange& s = standard.columns[at];
        const int factor = sf.sign * (map.kind == ColumnKind::Mirrored ? -1 : 1);
        std::pair<CostEnd, CostEnd> range = userCostRange(s, factor, c.cost);
        const ColumnRange* moved = &s; // the standard column whose push is the user's
        c.basic = s.basic;
        if (map.kind == ColumnKind::Free) {
            const ColumnRange& minus = standard.columns[at + 1];
            const auto other = userCostRange(minus, -factor, c.cost);
            if (minus.basic) {
                range = other, c.basic = true;
            } else if (!s.basic) {
                // Both halves at 0: each caps the cost on its own side.
                if (other.first.cost > range.first.cost) range.first = other.first;
                if (other.second.cost < range.second.cost) range.second = other.second;
                moved = nullptr; // pushed either way: no one activity range
            }
        } else if (map.boundRow >= 0 && standard.rows[static_cast<size_t>(map.boundRow)].binding) {
            c.basic = false; // at its upper bound
            moved = nullptr;
        }
        c.costLower = range.first.cost;
        c.costUpper = range.second.cost;
        c.limitingAtCostLower = range.first.limiting;
        c.limitingAtCostUpper = range.second.limiting;
        if (!c.basic && moved != nullptr && !moved->basic) {
            c.activityUpper = moved->activityUpper;
            c.objectiveAtActivityUpper = userObjective(moved->objectiveAtActivityUpper);
            c.limitingAtActivityUpper = moved->limitingAtActivityUpper;
        }
    }
    c.objectiveAtCostLower = objectiveAtCost(c.costLower, c);
    c.objectiveAtCostUpper = objectiveAtCost(c.costUpper, c);
    return c;
}

RowRange UserRanger::row(size_t r) const {
    const model::Row& mr = m.rows[r];
    const auto& map = sf.rowMap[r];
    RowRange u;
    u.name = mr.name;
    u.activity = user.rowActivity[r];
    u.shadowPrice = unsigned0(user.rowMarginal[r]);
    u.kind = mr.kind == RowKind::Greater ? RowKind::Greater
             : mr.kind == RowKind::Equal || (mr.kind == RowKind::Range && mr.lower == mr.upper)
                 ? RowKind::Equal
                 : RowKind::Less;
    u.rhs = u.kind == RowKind::Greater || u.kind == RowKind::Equal ? mr.lower : mr.upper;
    if (map.row[0] < 0) {
        // No coefficients but of fixed columns: the row holds for every bound that its
        // constant activity meets, whatever the plan.
        u.rhsLower = u.kind == RowKind::Greater ? -kInf : u.activity;
        u.rhsUpper = u.kind == RowKind::Less ? kInf : u.activity;
        u.objectiveAtRhsLower = u.objectiveAtRhsUpper = user.objective;
    } else {
        // A ranged row: the half the plan meets, the upper one when it meets neither.
        int h = 0;
        if (map.row[1] >= 0) {
            auto binding = [&](int k) {
                return standard.rows[static_cast<size_t>(map.row[k])].binding;
            };
            auto isUpper = [&](int k) {
                const bool less =
                    standard.rows[static_cast<size_t>(map.row[k])].kind == RowKind::Less;
                return less == (map.sign[k] > 0);
            };
            h = binding(0) != binding(1) ? (binding(0) ? 0 : 1) : (isUpper(0) ? 0 : 1);
            u.kind = isUpper(h) ? RowKind::Less : RowKind::Greater;
            u.rhs = isUpper(h) ? mr.upper : mr.lower;
        }
        const RowRange& s = standard.rows[static_cast<size_t>(map.row[h])];
        u.binding = s.binding;
        // The user's bound moving by t moves the standard right-hand side by sign · t.
        if (map.sign[h] > 0) {
            u.rhsLower = u.rhs - (s.rhs - s.rhsLower);
            u.rhsUpper = u.rhs + (s.rhsUpper - s.rhs);
            u.objectiveAtRhsLower = userObjective(s.objectiveAtRhsLower);
            u.objectiveAtRhsUpper = userObjective(s.objectiveAtRhsUpper);
            u.limitingAtRhsLower = s.limitingAtRhsLower;
            u.limitingAtRhsUpper = s.limitingAtRhsUpper;
        } else {
            u.rhsLower = u.rhs - (s.rhsUpper - s.rhs);
            u.rhsUpper = u.rhs + (s.rhs - s.rhsLower);
            u.objectiveAtRhsLower = userObjective(s.objectiveAtRhsUpper);
            u.objectiveAtRhsUpper = userObjective(s.objectiveAtRhsLower);
            u.limitingAtRhsLower = s.limitingAtRhsUpper;
            u.limitingAtRhsUpper = s.limitingAtRhsLower;
        }
    }
    u.slack = u.kind == RowKind::Greater ? u.activity - u.rhs : u.rhs - u.activity;
    return u;
}

} // namespace

Ranges userRanges(const model::Model& model, const model::StandardForm& sf, const LpProblem& solved,
                  const model::UserSolution& user) {
    return UserRanger(model, sf, solved, user).run();
}

} // namespace kvado::analysis
