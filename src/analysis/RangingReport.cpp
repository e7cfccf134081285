#include "analysis/RangingReport.h"

#include <cmath>
#include <cstdio>

#include "report/Results.h"
#include "text/Json.h"
#include "text/NumberText.h"

namespace kvado::analysis {

namespace {

using report::ReportDocument;

constexpr int kNumberWidth = 13;
constexpr const char* kNone = "—";

size_t charCount(const std::string& s) {
    size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

std::string padLeft(const std::string& s, size_t width) {
    const size_t n = charCount(s);
    return n >= width ? s : std::string(width - n, ' ') + s;
}

std::string padRight(const std::string& s, size_t width) {
    const size_t n = charCount(s);
    return n >= width ? s : s + std::string(width - n, ' ');
}

class Table {
public:
    explicit Table(char separator) : sep(separator) {}

    std::string number(Real v) const {
        if (std::isinf(v)) return padLeft(v > 0 ? "+∞" : "−∞", kNumberWidth);
        return padLeft(text::formatShortGeneral(v, sep), kNumberWidth);
    }
    std::string number(const std::optional<Real>& v) const {
        return v ? number(*v) : padLeft(kNone, kNumberWidth);
    }
    static std::string title(const char* s) { return padLeft(s, kNumberWidth); }
    static std::string blank() { return std::string(kNumberWidth, ' '); }
    static std::string limiting(const std::optional<std::string>& name) {
        return "  " + name.value_or(kNone);
    }

private:
    char sep;
};

// "X[  1] " or "B[  1] " and the name, cut to the last 12 characters as the report's name
// fields do, then the status or relation: 26 characters before the numbers.
std::string lead(const char* letter, int32_t index, const std::string& name, const char* tag) {
    return letter + std::string("[") + text::intText(index, 3) + "] " +
           report::nameField(name, 12) + " " + padRight(tag, 6);
}

void heading(ReportDocument& doc, const std::string& line) {
    doc.setCurrentFormat(ReportDocument::headingFormat());
    doc.append(line);
}

} // namespace

void WriteSensitivityReport(const Ranges& r, char sep, ReportDocument& doc) {
    const Table t(sep);
    const std::string indent(26, ' ');
    heading(doc, kSensitivityHeading);
    doc.append(" ");
    if (r.degenerate) doc.append(kDegenerateLine);
    if (r.otherOptima) doc.append(kOtherOptimaLine);
    if (r.degenerate || r.otherOptima) doc.append(" ");

    heading(doc, "   Неизвестные: диапазоны цен");
    doc.append(" ");
    doc.append(padRight("Неизвестная", 20) + padRight("Ст.", 6) + t.title("Значение") +
               t.title("Цена") + t.title("Цена от") + t.title("Z") + t.title("Уменьш.") +
               "  Огранич.");
    doc.append(indent + t.blank() + t.title("Оценка") + t.title("Цена до") + t.title("Z") +
               t.title("Увелич.") + "  Огранич.");
    int32_t j = 0;
    for (const ColumnRange& c : r.columns) {
        ++j;
        doc.append(lead("X", j, c.name, c.basic ? "баз." : "небаз.") + t.number(c.value) +
                   t.number(c.cost) + t.number(c.costLower) + t.number(c.objectiveAtCostLower) +
                   t.number(c.allowableDecrease()) + t.limiting(c.limitingAtCostLower));
        doc.append(indent + t.blank() + t.number(c.reducedCost) + t.number(c.costUpper) +
                   t.number(c.objectiveAtCostUpper) + t.number(c.allowableIncrease()) +
                   t.limiting(c.limitingAtCostUpper));
    }
    doc.append(" ");

    heading(doc, "   Ограничения: диапазоны правых частей");
    doc.append(" ");
    doc.append(padRight("Ограничение", 20) + padRight("Вид", 6) + t.title("Расход") + t.title("B") +
               t.title("B от") + t.title("Z") + t.title("Уменьш.") + "  Огранич.");
    doc.append(indent + t.title("Запас") + t.title("Тен.цена") + t.title("B до") + t.title("Z") +
               t.title("Увелич.") + "  Огранич.");
    int32_t i = 0;
    for (const RowRange& row : r.rows) {
        ++i;
        doc.append(lead("B", i, row.name, relationText(row.kind)) + t.number(row.activity) +
                   t.number(row.rhs) + t.number(row.rhsLower) + t.number(row.objectiveAtRhsLower) +
                   t.number(row.allowableDecrease()) + t.limiting(row.limitingAtRhsLower));
        doc.append(indent + t.number(row.slack) + t.number(row.shadowPrice) +
                   t.number(row.rhsUpper) + t.number(row.objectiveAtRhsUpper) +
                   t.number(row.allowableIncrease()) + t.limiting(row.limitingAtRhsUpper));
    }
}

void rangesJson(text::JsonWriter& w, const Ranges& r) {
    w.beginObject().key("degenerate").boolean(r.degenerate);
    w.key("other_optima").boolean(r.otherOptima);
    w.key("columns").beginArray();
    for (const ColumnRange& c : r.columns) {
        w.beginObject().key("name").string(c.name);
        w.key("status").string(c.basic ? "basic" : "nonbasic");
        w.key("value").number(c.value);
        w.key("cost").number(c.cost);
        w.key("reduced_cost").number(c.reducedCost);
        w.key("cost_lower").number(c.costLower);
        w.key("cost_upper").number(c.costUpper);
        w.key("objective_at_cost_lower").number(c.objectiveAtCostLower);
        w.key("objective_at_cost_upper").number(c.objectiveAtCostUpper);
        w.key("limiting_at_cost_lower").string(c.limitingAtCostLower);
        w.key("limiting_at_cost_upper").string(c.limitingAtCostUpper);
        w.endObject();
    }
    w.endArray().key("rows").beginArray();
    for (const RowRange& row : r.rows) {
        w.beginObject().key("name").string(row.name);
        w.key("activity").number(row.activity);
        w.key("rhs").number(row.rhs);
        w.key("shadow_price").number(row.shadowPrice);
        w.key("rhs_lower").number(row.rhsLower);
        w.key("rhs_upper").number(row.rhsUpper);
        w.key("objective_at_rhs_lower").number(row.objectiveAtRhsLower);
        w.key("objective_at_rhs_upper").number(row.objectiveAtRhsUpper);
        w.key("limiting_at_rhs_lower").string(row.limitingAtRhsLower);
        w.key("limiting_at_rhs_upper").string(row.limitingAtRhsUpper);
        w.endObject();
    }
    w.endArray().endObject();
}

} // namespace kvado::analysis
