#include "session/Explanation.h"
#include "text/Json.h"

#include <algorithm>

namespace kvado::session {

using analysis::Explanation;
using ColumnKind = model::StandardForm::ColumnKind;

namespace {

constexpr auto plain = text::JsonWriter::Zero::Plain;

void namedList(text::JsonWriter& w, const std::vector<NamedRate>& items, const char* member) {
    w.beginArray();
    for (const NamedRate& item : items)
        w.beginObject()
            .key("name")
            .string(item.name)
            .key(member)
            .number(item.value, plain)
            .endObject();
    w.endArray();
}

void stringList(text::JsonWriter& w, const std::vector<std::string>& items) {
    w.beginArray();
    for (const std::string& item : items)
        w.string(item);
    w.endArray();
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
            if (o.boundColumn >= 0) {
                boundInSubset[static_cast<size_t>(o.boundColumn)] = true;
                u.subsetBoundRows.push_back(sf->rowNames[static_cast<size_t>(i) - 1]);
            }
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

namespace {

std::string quoted(const std::string& name) {
    return "«" + name + "»";
}

std::string joined(const std::vector<std::string>& items) {
    std::string s;
    for (size_t k = 0; k < items.size(); ++k) {
        if (k > 0) s += k + 1 == items.size() ? " и " : ", ";
        s += items[k];
    }
    return s;
}

} // namespace

ExplanationTable explanationTable(const UserExplanation& u, char sep) {
    auto num = [sep](Real v) { return analysis::explainNumber(v, sep); };
    ExplanationTable t;
    if (u.kind == Explanation::Kind::Infeasible) {
        // The multipliers of the model's rows do not add up to "0 >= a positive number" by
        // themselves: the columns' bounds take part, so the sentence names no sum.
        std::vector<std::string> items;
        for (const NamedRate& r : u.certificate)
            items.push_back(quoted(r.name) +
                            (r.value < 0 ? " ×(" + num(r.value) + ")" : " ×" + num(r.value)));
        t.sentence = "Ограничения " + joined(items) +
                     " вместе с границами переменных противоречат друг другу: ограничения "
                     "несовместны";
        t.termsHeading = "Ограничения модели и их множители:";
        t.titles = {"Ограничение", "Множитель", "В подмножестве"};
        for (const NamedRate& r : u.certificate) {
            auto in = [&r](const std::vector<std::string>& names) {
                return std::find(names.begin(), names.end(), r.name) != names.end();
            };
            const bool member = in(u.subset) || in(u.subsetBoundRows);
            t.rows.push_back({r.name, num(r.value), member ? "да" : ""});
        }
        t.footer = u.subsetNote;
        if (u.subsetComputed) {
            std::vector<std::string> members;
            for (const std::string& name : u.subset)
                members.push_back(quoted(name));
            for (const std::string& name : u.subsetBounds)
                members.push_back("верхняя граница " + quoted(name));
            std::string list;
            for (const std::string& m : members)
                list += (list.empty() ? " " : ", ") + m;
            t.footer = "Несовместное подмножество:" + list +
                       (members.size() > 1 ? " (без любого из них остальные совместны)" : "");
        }
    } else if (u.kind == Explanation::Kind::Unbounded) {
        std::vector<std::string> names;
        for (const NamedRate& r : u.ray)
            names.push_back(quoted(r.name));
        t.sentence = joined(names) + (names.size() > 1 ? " могут" : " может") +
                     " меняться неограниченно: целевая функция модели не ограничена";
        t.termsHeading = "Переменные модели вдоль луча:";
        t.titles = {"Переменная", "Изменение на единицу шага"};
        for (const NamedRate& r : u.ray)
            t.rows.push_back({r.name, num(r.value)});
        t.footer = "Изменение целевой функции на единицу шага: " + num(u.objectiveRate);
    }
    return t;
}

void explanationJson(text::JsonWriter& w, const UserExplanation& u) {
    if (u.kind == Explanation::Kind::Infeasible) {
        w.key("infeasibility").beginObject().key("certificate");
        namedList(w, u.certificate, "multiplier");
        if (u.subsetComputed) {
            stringList(w.key("iis"), u.subset);
            stringList(w.key("iis_bounds"), u.subsetBounds);
        } else {
            w.key("iis").null().key("iis_bounds").null().key("iis_note").string(u.subsetNote);
        }
        w.endObject();
    } else if (u.kind == Explanation::Kind::Unbounded) {
        w.key("unboundedness").beginObject().key("ray");
        namedList(w, u.ray, "rate");
        w.key("objective_rate").number(u.objectiveRate, plain).endObject();
    }
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
