#include "session/Explanation.h"
#include "text/Json.h"

#include <algorithm>

namespace kvado::session {

using analysis::Explanation;
using ColumnKind = model::StandardForm::ColumnKind;

namespace {

std::string number(Real v) {
    return text::formatRoundTrip(v == 0 ? Real(0) : v);
}

std::string namedList(const std::vector<NamedRate>& items, const char* member) {
    std::string s = "[";
    for (size_t k = 0; k < items.size(); ++k) {
        if (k > 0) s += ", ";
        s += "{\"name\": " + text::jsonString(items[k].name) + ", \"" + member +
             "\": " + number(items[k].value) + "}";
    }
    return s + "]";
}

std::string stringList(const std::vector<std::string>& items) {
    std::string s = "[";
    for (size_t k = 0; k < items.size(); ++k)
        s += (k > 0 ? ", " : "") + text::jsonString(items[k]);
    return s + "]";
}

// Where each standard row (0-based) came from: a user row with the sign it was multiplied by,
// or a column's upper bound.
struct RowOrigin {
    int32_t userRow = -1;
    int sign = 1;
    int32_t boundColumn = -1;
};

std::vector<RowOrigin> rowOrigins(const model::Model& m, const model::StandardForm* sf,
                                  size_t rows) {
    std::vector<RowOrigin> origin(rows);
    if (!sf) {
        for (size_t i = 0; i < rows && i < m.rows.size(); ++i)
            origin[i].userRow = static_cast<int32_t>(i);
        return origin;
    }
    for (size_t r = 0; r < sf->rowMap.size(); ++r)
        for (int h = 0; h < 2; ++h)
            if (const int32_t i = sf->rowMap[r].row[h]; i >= 0 && static_cast<size_t>(i) < rows)
                origin[static_cast<size_t>(i)] = {static_cast<int32_t>(r), sf->rowMap[r].sign[h],
                                                  -1};
    for (size_t c = 0; c < sf->columnMap.size(); ++c)
        if (const int32_t i = sf->columnMap[c].boundRow; i >= 0 && static_cast<size_t>(i) < rows)
            origin[static_cast<size_t>(i)].boundColumn = static_cast<int32_t>(c);
    return origin;
}

} // namespace

UserExplanation userExplanation(const Explanation& e, const model::Model& m,
                                const model::StandardForm* sf) {
    UserExplanation u;
    u.kind = e.kind;
    if (e.kind == Explanation::Kind::Infeasible) {
        const auto& f = e.infeasibility;
        size_t rows = sf ? static_cast<size_t>(sf->M()) : m.rows.size();
        const std::vector<RowOrigin> origin = rowOrigins(m, sf, rows);
        auto originOf = [&](int32_t i) {
            const auto k = static_cast<size_t>(i) - 1;
            return k < origin.size() ? origin[k] : RowOrigin{};
        };
        // The user's rows in the file's order, then the bound rows in the standard order.
        std::vector<Real> byRow(m.rows.size(), 0);
        std::vector<bool> inCertificate(m.rows.size(), false), inSubset(m.rows.size(), false);
        std::vector<NamedRate> bounds;
        for (const auto& t : f.rows) {
            const RowOrigin o = originOf(t.index);
            if (o.userRow >= 0) {
                byRow[static_cast<size_t>(o.userRow)] += o.sign * t.multiplier;
                inCertificate[static_cast<size_t>(o.userRow)] = true;
            } else if (o.boundColumn >= 0) {
                bounds.push_back({sf->rowNames[static_cast<size_t>(t.index) - 1], t.multiplier});
            }
        }
        for (size_t r = 0; r < m.rows.size(); ++r)
            if (inCertificate[r]) u.certificate.push_back({m.rows[r].name, byRow[r]});
        u.certificate.insert(u.certificate.end(), bounds.begin(), bounds.end());
        u.subsetComputed = f.subsetComputed;
        u.subsetNote = f.subsetNote;
        std::vector<bool> boundInSubset(m.columns.size(), false);
        for (const int32_t i : f.subset) {
            const RowOrigin o = originOf(i);
            if (o.userRow >= 0) inSubset[static_cast<size_t>(o.userRow)] = true;
            if (o.boundColumn >= 0) boundInSubset[static_cast<size_t>(o.boundColumn)] = true;
        }
        for (size_t r = 0; r < m.rows.size(); ++r)
            if (inSubset[r]) u.subset.push_back(m.rows[r].name);
        for (size_t c = 0; c < m.columns.size(); ++c)
            if (boundInSubset[c]) u.subsetBounds.push_back(m.columns[c].name);
    } else if (e.kind == Explanation::Kind::Unbounded) {
        const auto& ray = e.unboundedness;
        const size_t n = sf ? static_cast<size_t>(sf->N) : m.columns.size();
        std::vector<Real> d(n, 0);
        for (const auto& t : ray.ray)
            if (static_cast<size_t>(t.index) - 1 < n)
                d[static_cast<size_t>(t.index) - 1] = t.multiplier;
        for (size_t c = 0; c < m.columns.size(); ++c) {
            Real rate = c < n ? d[c] : 0;
            if (sf) {
                const auto& map = sf->columnMap[c];
                const auto s = static_cast<size_t>(map.column);
                switch (map.kind) {
                case ColumnKind::Shifted:
                    rate = d[s];
                    break;
                case ColumnKind::Mirrored:
                    rate = -d[s];
                    break;
                case ColumnKind::Free:
                    rate = d[s] - d[s + 1];
                    break;
                case ColumnKind::Fixed:
                    rate = 0;
                    break;
                }
            }
            if (rate != 0) u.ray.push_back({m.columns[c].name, rate});
        }
        u.objectiveRate = (sf ? sf->sign : 1) * ray.objectiveRate;
    }
    return u;
}

std::string explanationJson(const UserExplanation& u) {
    if (u.kind == Explanation::Kind::Infeasible) {
        std::string s =
            "\"infeasibility\": {\"certificate\": " + namedList(u.certificate, "multiplier") +
            ", \"iis\": ";
        s += u.subsetComputed ? stringList(u.subset) : "null";
        s += ", \"iis_bounds\": ";
        s += u.subsetComputed ? stringList(u.subsetBounds) : "null";
        if (!u.subsetComputed) s += ", \"iis_note\": " + text::jsonString(u.subsetNote);
        return s + "}";
    }
    if (u.kind == Explanation::Kind::Unbounded)
        return "\"unboundedness\": {\"ray\": " + namedList(u.ray, "rate") +
               ", \"objective_rate\": " + number(u.objectiveRate) + "}";
    return {};
}

UserExplanation transformConflict(const model::Model& m, const model::StandardForm& sf) {
    UserExplanation why;
    why.kind = analysis::Explanation::Kind::Infeasible;
    why.subsetComputed = true;
    if (sf.infeasibleRow >= 0) {
        const auto r = static_cast<size_t>(sf.infeasibleRow);
        why.subset.push_back(m.rows[r].name);
        if (sf.infeasibleSide == 2) {
            // A crossed range: its lower bound (+1) and its upper one (-1) add up to 0 >= l - u.
            why.certificate.push_back({m.rows[r].name, 1});
            why.certificate.push_back({m.rows[r].name, -1});
            return why;
        }
        why.certificate.push_back({m.rows[r].name, Real(sf.infeasibleSide)});
        std::vector<int32_t> fixed;
        for (const auto& e : m.entries)
            if (e.row == sf.infeasibleRow && e.value != 0) fixed.push_back(e.column);
        std::sort(fixed.begin(), fixed.end());
        for (const int32_t j : fixed)
            why.subsetBounds.push_back(m.columns[static_cast<size_t>(j)].name);
    } else if (sf.infeasibleColumn >= 0) {
        why.subsetBounds.push_back(m.columns[static_cast<size_t>(sf.infeasibleColumn)].name);
    }
    return why;
}

} // namespace kvado::session
