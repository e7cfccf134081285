// MPS, fixed and free. Sections NAME, ROWS, COLUMNS, RHS, RANGES, BOUNDS, OBJSENSE, ENDATA.
// The first N row is the objective; an RHS entry on it is the negative of the objective
// constant, as the commercial and COIN-OR readers take it.

#include <algorithm>
#include <cmath>

#include "model/FileSupport.h"
#include "model/ModelFiles.h"

namespace kvado::model {
namespace {

using namespace detail;

constexpr int32_t kObjectiveRow = -1;
constexpr int32_t kDroppedRow = -2;
// Bound values this large are infinite, as in the common MPS readers.
constexpr Real kInfiniteBound = 1e30L;

struct PendingRow {
    char type = 'L';
    Real rhs = 0, range = 0;
    text::ExactNumber rhsExact, rangeExact;
    int64_t rhsLine = 0, rangeLine = 0;
};

class MpsReader {
public:
    MpsReader(std::string_view bytes, const std::string& file, bool fixed,
              std::vector<std::string>* notes)
        : m_bytes(bytes), m_file(file), m_fixed(fixed), m_notes(notes) {}

    Model read();

private:
    enum class Section { None, Rows, Columns, Rhs, Ranges, Bounds, ObjSense };

    [[noreturn]] void fail(const std::string& text) const { throw ReadError(m_file, m_line, text); }
    void note(const std::string& text) {
        if (m_notes) m_notes->push_back("строка " + std::to_string(m_line) + ": " + text);
    }
    bool nextLine(std::string_view& line);
    std::vector<std::string_view> tokens(std::string_view line) const;
    std::vector<std::string_view> dataFields(std::string_view line) const;
    Real number(std::string_view t) const;
    // The exact value of a field that number() read as v.
    static text::ExactNumber exact(std::string_view t, Real v) {
        return text::ExactNumber::ofText(t, '.', v);
    }
    int32_t rowOf(std::string_view name) const;
    void header(std::string_view line);
    void rowsLine(const std::vector<std::string_view>& f);
    void columnsLine(const std::vector<std::string_view>& f);
    void rhsOrRangesLine(const std::vector<std::string_view>& f, bool ranges);
    void boundsLine(const std::vector<std::string_view>& f);
    void sense(std::string_view word);
    Model finish();

    std::string_view m_bytes;
    size_t m_pos = 0;
    std::string m_file;
    bool m_fixed;
    std::vector<std::string>* m_notes;
    int64_t m_line = 0;
    Section m_section = Section::None;
    bool m_seenRows = false, m_seenColumns = false, m_end = false;

    Model m;
    NameIndex m_rowIndex, m_columnIndex;
    std::vector<PendingRow> m_pending;
    std::vector<int64_t> m_rowLine, m_costLine;
    std::vector<int32_t> m_lastColumn; // per row: the column of its latest coefficient
    std::vector<int64_t> m_lastLine;   // and its line
    std::vector<int64_t> m_entryLine;
    int32_t m_currentColumn = -1;
    int64_t m_integerLine = 0;      // the open 'INTORG' marker's line; 0: none open
    std::vector<bool> m_upperGiven; // per column: a bound line set its upper bound
    std::vector<bool> m_marked;     // per column: it stands between the markers
    bool m_scattered = false;       // a column's coefficients came in more than one run
    int64_t m_objectiveLine = 0, m_constantLine = 0;
    std::string m_rhsSet, m_rangeSet, m_boundSet;
    bool m_otherSetNoted = false;
};

bool MpsReader::nextLine(std::string_view& line) {
    if (m_pos >= m_bytes.size()) return false;
    const size_t end = m_bytes.find('\n', m_pos);
    const size_t stop = end == std::string_view::npos ? m_bytes.size() : end;
    line = m_bytes.substr(m_pos, stop - m_pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    m_pos = stop + 1;
    ++m_line;
    return true;
}

std::vector<std::string_view> MpsReader::tokens(std::string_view line) const {
    std::vector<std::string_view> out;
    size_t k = 0;
    while (k < line.size()) {
        while (k < line.size() && (line[k] == ' ' || line[k] == '\t'))
            ++k;
        const size_t b = k;
        while (k < line.size() && line[k] != ' ' && line[k] != '\t')
            ++k;
        if (k > b) out.push_back(line.substr(b, k - b));
    }
    return out;
}

// A data line's fields. Fixed MPS: columns 2-3, 5-12, 15-22, 25-36, 40-47, 50-61, names may
// hold blanks; a blank field is left out (a set name may be blank), so both forms give the
// same list.
std::vector<std::string_view> MpsReader::dataFields(std::string_view line) const {
    if (!m_fixed) return tokens(line);
    static constexpr size_t starts[] = {1, 4, 14, 24, 39, 49};
    static constexpr size_t ends[] = {3, 12, 22, 36, 47, 61};
    // A "$" that begins field 3 or 5 begins a comment (" N  COST      $ Cost").
    for (const size_t at : {starts[2], starts[4]})
        if (line.size() > at && line[at] == '$') line = line.substr(0, at);
    std::vector<std::string_view> out;
    for (int f = 0; f < 6; ++f) {
        if (starts[f] >= line.size()) break;
        // A blank column name continues the column of the line before.
        if (f == 1 && m_section == Section::Columns && m_currentColumn >= 0 &&
            line.substr(starts[1], ends[1] - starts[1]).find_first_not_of(" \t") ==
                std::string_view::npos &&
            line.size() > starts[2]) {
            out.push_back(m.columns[static_cast<size_t>(m_currentColumn)].name);
            continue;
        }
        std::string_view v = line.substr(starts[f], ends[f] - starts[f]);
        while (!v.empty() && (v.front() == ' ' || v.front() == '\t'))
            v.remove_prefix(1);
        while (!v.empty() && (v.back() == ' ' || v.back() == '\t'))
            v.remove_suffix(1);
        if (!v.empty()) out.push_back(v);
    }
    if (line.size() > 61 && line.find_first_not_of(" \t", 61) != std::string_view::npos)
        fail("в фиксированном MPS после 61-й позиции ничего не должно стоять, найдено " +
             found(line.substr(61)));
    return out;
}

Real MpsReader::number(std::string_view t) const {
    if (const auto v = text::toPointReal(t); v && t.find_first_of(" \t") == std::string_view::npos)
        return *v;
    fail("ожидалось число, найдено " + found(t));
}

int32_t MpsReader::rowOf(std::string_view name) const {
    const auto it = m_rowIndex.find(std::string(name));
    if (it == m_rowIndex.end())
        fail("ожидалось имя строки из раздела ROWS, найдено " + found(name));
    return it->second;
}

void MpsReader::sense(std::string_view word) {
    if (sameWord(word, "max") || sameWord(word, "maximize") || sameWord(word, "maximise"))
        m.sense = Sense::Maximize;
    else if (sameWord(word, "min") || sameWord(word, "minimize") || sameWord(word, "minimise"))
        m.sense = Sense::Minimize;
    else
        fail("ожидалось MAX или MIN, найдено " + found(word));
}

void MpsReader::header(std::string_view line) {
    const auto t = tokens(line);
    const std::string_view w = t[0];
    auto need = [&](bool ok, const char* before) {
        if (!ok)
            fail(std::string("раздел ") + std::string(w) + " должен идти после раздела " + before);
    };
    if (sameWord(w, "NAME")) {
        if (t.size() > 1) m.name = std::string(t[1]);
        m_section = Section::None;
    } else if (sameWord(w, "ROWS")) {
        m_section = Section::Rows;
        m_seenRows = true;
    } else if (sameWord(w, "COLUMNS")) {
        need(m_seenRows, "ROWS");
        m_section = Section::Columns;
        m_seenColumns = true;
    } else if (sameWord(w, "RHS")) {
        need(m_seenRows, "ROWS");
        m_section = Section::Rhs;
    } else if (sameWord(w, "RANGES")) {
        need(m_seenRows, "ROWS");
        m_section = Section::Ranges;
    } else if (sameWord(w, "BOUNDS")) {
        need(m_seenColumns, "COLUMNS");
        m_section = Section::Bounds;
    } else if (sameWord(w, "OBJSENSE")) {
        m_section = Section::ObjSense;
        if (t.size() > 1) sense(t[1]);
    } else if (sameWord(w, "ENDATA")) {
        m_end = true;
    } else if (sameWord(w, "SOS") || sameWord(w, "QUADOBJ") || sameWord(w, "QMATRIX") ||
               sameWord(w, "QSECTION") || sameWord(w, "QCMATRIX") || sameWord(w, "CSECTION") ||
               sameWord(w, "INDICATORS")) {
        fail("раздел " + std::string(w) +
             " не поддерживается: решаются только линейные задачи без целочисленных неизвестных");
    } else {
        fail("ожидался раздел NAME, ROWS, COLUMNS, RHS, RANGES, BOUNDS, OBJSENSE или ENDATA, "
             "найдено " +
             found(w));
    }
}

void MpsReader::rowsLine(const std::vector<std::string_view>& f) {
    if (f.size() != 2) fail("ожидалось: тип строки (N, E, L, G) и ее имя");
    const std::string_view type = f[0];
    char kind = 0;
    if (type.size() == 1) {
        const char c = static_cast<char>(type[0] & ~0x20);
        if (c == 'N' || c == 'E' || c == 'L' || c == 'G') kind = c;
    }
    if (!kind) fail("ожидался тип строки N, E, L или G, найдено " + found(type));
    std::string name(f[1]);
    if (const auto it = m_rowIndex.find(name); it != m_rowIndex.end()) {
        const int64_t first = it->second >= 0 ? m_rowLine[static_cast<size_t>(it->second)]
                              : it->second == kObjectiveRow ? m_objectiveLine
                                                            : 0;
        fail("строка «" + name + "» уже объявлена" +
             (first > 0 ? " в строке " + std::to_string(first) : std::string()));
    }
    if (kind == 'N') {
        if (m_objectiveLine == 0) {
            m.objectiveName = name;
            m_objectiveLine = m_line;
            m_rowIndex.emplace(std::move(name), kObjectiveRow);
        } else {
            note("строка «" + name + "» типа N опущена: целевая функция — «" + m.objectiveName +
                 "»");
            m_rowIndex.emplace(std::move(name), kDroppedRow);
        }
        return;
    }
    checkModelSize(m.rows.size() + 1, m.columns.size());
    m_rowIndex.emplace(name, static_cast<int32_t>(m.rows.size()));
    m.rows.push_back({std::move(name)});
    PendingRow p;
    p.type = kind;
    m_pending.push_back(p);
    m_rowLine.push_back(m_line);
    m_lastColumn.push_back(-1);
    m_lastLine.push_back(0);
}

void MpsReader::columnsLine(const std::vector<std::string_view>& fields) {
    // In fixed MPS a blank name field stands for the column before, a view of that column's
    // name, which a new column added below would move: such a line is read from copies.
    std::vector<std::string> owned;
    std::vector<std::string_view> copied;
    if (m_fixed) {
        owned.assign(fields.begin(), fields.end());
        copied.assign(owned.begin(), owned.end());
    }
    const std::vector<std::string_view>& f = m_fixed ? copied : fields;
    for (size_t k = 0; k < f.size(); ++k) {
        if (!sameWord(f[k], "'MARKER'")) continue;
        if (f.size() != 3 || k != 1) fail("ожидалось: имя метки, 'MARKER' и 'INTORG' или 'INTEND'");
        if (sameWord(f[2], "'INTORG'")) {
            if (m_integerLine != 0)
                fail("метка 'INTORG' без 'INTEND' после 'INTORG' в строке " +
                     std::to_string(m_integerLine));
            m_integerLine = m_line;
        } else if (sameWord(f[2], "'INTEND'")) {
            if (m_integerLine == 0) fail("метка 'INTEND' без 'INTORG' перед ней");
            m_integerLine = 0;
        } else {
            fail("ожидалась метка 'INTORG' или 'INTEND', найдено " + found(f[2]));
        }
        return;
    }
    if (f.size() != 3 && f.size() != 5)
        fail("ожидалось: имя неизвестной, имя строки, число (и, возможно, еще имя строки и "
             "число)");
    std::string name(f[0]);
    auto [it, added] = m_columnIndex.try_emplace(name, static_cast<int32_t>(m.columns.size()));
    const int32_t j = it->second;
    if (added) {
        checkModelSize(m.rows.size(), m.columns.size() + 1);
        m.columns.push_back({std::move(name)});
        m_costLine.push_back(0);
        m_upperGiven.push_back(false);
        m_marked.push_back(false);
    } else if (j != m_currentColumn) {
        m_scattered = true;
    }
    m_currentColumn = j;
    if (m_integerLine != 0) {
        m.columns[static_cast<size_t>(j)].kind = ColumnKind::Integer;
        m_marked[static_cast<size_t>(j)] = true;
    }
    for (size_t k = 1; k + 1 < f.size(); k += 2) {
        const int32_t r = rowOf(f[k]);
        const Real v = number(f[k + 1]);
        const auto uj = static_cast<size_t>(j);
        if (r == kObjectiveRow) {
            if (m_costLine[uj] != 0)
                fail("коэффициент целевой функции «" + m.objectiveName + "» при неизвестной «" +
                     m.columns[uj].name + "» уже задан в строке " + std::to_string(m_costLine[uj]));
            m_costLine[uj] = m_line;
            m.columns[uj].cost = v;
            m.columns[uj].costExact = exact(f[k + 1], v);
            continue;
        }
        if (r == kDroppedRow) continue;
        const auto ur = static_cast<size_t>(r);
        if (m_lastColumn[ur] == j)
            fail("коэффициент строки «" + m.rows[ur].name + "» при неизвестной «" +
                 m.columns[uj].name + "» уже задан в строке " + std::to_string(m_lastLine[ur]));
        m_lastColumn[ur] = j;
        m_lastLine[ur] = m_line;
        if (v != 0) {
            m.entries.push_back({r, j, v, exact(f[k + 1], v)});
            m_entryLine.push_back(m_line);
        }
    }
}

void MpsReader::rhsOrRangesLine(const std::vector<std::string_view>& f, bool ranges) {
    if (f.size() < 2 || f.size() > 5)
        fail("ожидалось: имя набора (можно опустить), имя строки, число (и, возможно, еще имя "
             "строки и число)");
    size_t k = 0;
    if (f.size() % 2 == 1) {
        std::string& set = ranges ? m_rangeSet : m_rhsSet;
        if (set.empty()) set = std::string(f[0]);
        if (set != f[0]) {
            if (!m_otherSetNoted)
                note("набор «" + std::string(f[0]) + "» опущен: читается только первый набор «" +
                     set + "»");
            m_otherSetNoted = true;
            return;
        }
        k = 1;
    }
    for (; k + 1 < f.size(); k += 2) {
        const int32_t r = rowOf(f[k]);
        const Real v = number(f[k + 1]);
        if (ranges) {
            if (r < 0) fail("ожидалось имя строки типа E, L или G, найдено " + found(f[k]));
            auto& p = m_pending[static_cast<size_t>(r)];
            if (p.rangeLine != 0)
                fail("диапазон строки «" + m.rows[static_cast<size_t>(r)].name +
                     "» уже задан в строке " + std::to_string(p.rangeLine));
            p.range = v;
            p.rangeExact = exact(f[k + 1], v);
            p.rangeLine = m_line;
            continue;
        }
        if (r == kDroppedRow) continue;
        if (r == kObjectiveRow) {
            if (m_constantLine != 0)
                fail("правая часть целевой функции «" + m.objectiveName + "» уже задана в строке " +
                     std::to_string(m_constantLine));
            m.objectiveConstant = -v;
            m.objectiveConstantExact = (-text::ExactReal{v, exact(f[k + 1], v)}).exact;
            m_constantLine = m_line;
            continue;
        }
        auto& p = m_pending[static_cast<size_t>(r)];
        if (p.rhsLine != 0)
            fail("правая часть строки «" + m.rows[static_cast<size_t>(r)].name +
                 "» уже задана в строке " + std::to_string(p.rhsLine));
        p.rhs = v;
        p.rhsExact = exact(f[k + 1], v);
        p.rhsLine = m_line;
    }
}

void MpsReader::boundsLine(const std::vector<std::string_view>& f) {
    if (f.empty()) return;
    const std::string_view type = f[0];
    std::string t(type);
    for (char& c : t)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (t == "SC")
        fail("граница типа SC не поддерживается: полунепрерывные неизвестные программа не "
             "решает");
    const bool valued = t == "UP" || t == "LO" || t == "FX" || t == "LI" || t == "UI";
    if (!valued && t != "FR" && t != "MI" && t != "PL" && t != "BV")
        fail("ожидался тип границы UP, LO, FX, FR, MI, PL, BV, LI или UI, найдено " + found(type));
    // With a value: type [set] column value; without: type [set] column (a value is ignored).
    size_t c;
    if (valued) {
        if (f.size() != 3 && f.size() != 4)
            fail("ожидалось: тип границы, имя набора (можно опустить), имя неизвестной, число");
        c = f.size() - 2;
    } else {
        if (f.size() < 2 || f.size() > 4)
            fail("ожидалось: тип границы, имя набора (можно опустить), имя неизвестной");
        c = f.size() == 2 ? 1 : 2;
    }
    if (c == 2) {
        if (m_boundSet.empty()) m_boundSet = std::string(f[1]);
        if (m_boundSet != f[1]) {
            if (!m_otherSetNoted)
                note("набор границ «" + std::string(f[1]) +
                     "» опущен: читается только первый набор «" + m_boundSet + "»");
            m_otherSetNoted = true;
            return;
        }
    }
    const auto it = m_columnIndex.find(std::string(f[c]));
    if (it == m_columnIndex.end())
        fail("ожидалось имя неизвестной из раздела COLUMNS, найдено " + found(f[c]));
    Column& col = m.columns[static_cast<size_t>(it->second)];
    Real v = 0;
    text::ExactNumber vExact;
    if (valued) {
        const std::string_view s = f[c + 1];
        const std::string_view digits = s.substr(s[0] == '+' || s[0] == '-' ? 1 : 0);
        if (sameWord(digits, "inf") || sameWord(digits, "infinity")) {
            v = s[0] == '-' ? -kInfinity : kInfinity;
        } else {
            v = number(s);
            vExact = exact(s, v);
        }
        if (v >= kInfiniteBound) v = kInfinity;
        if (v <= -kInfiniteBound) v = -kInfinity;
        if (!std::isfinite(v)) vExact = {};
    }
    const auto uc = static_cast<size_t>(it->second);
    if (t != "LO" && t != "LI" && t != "MI") m_upperGiven[uc] = true;
    if (t == "LI" || t == "UI") {
        if (std::isfinite(v) && v != std::floor(v))
            fail("граница типа " + t + " целочисленной неизвестной «" + col.name +
                 "» не целая: " + std::string(f[c + 1]));
        if (col.kind == ColumnKind::Continuous) col.kind = ColumnKind::Integer;
        t = t == "LI" ? "LO" : "UP";
    }
    if (t == "BV") {
        col.kind = ColumnKind::Binary;
        col.lower = 0;
        col.upper = 1;
        col.lowerExact = col.upperExact = {};
    } else if (t == "UP") {
        if (v < 0 && col.lower == 0) {
            note("верхняя граница неизвестной «" + col.name + "» отрицательна (" + numberText(v) +
                 "), а нижняя 0: нижняя граница принята равной -inf");
            col.lower = -kInfinity;
            col.lowerExact = {};
        }
        col.upper = v;
        col.upperExact = vExact;
    } else if (t == "LO") {
        col.lower = v;
        col.lowerExact = vExact;
    } else if (t == "FX") {
        col.lower = col.upper = v;
        col.lowerExact = col.upperExact = vExact;
    } else if (t == "FR") {
        col.lower = -kInfinity;
        col.upper = kInfinity;
        col.lowerExact = col.upperExact = {};
    } else if (t == "MI") {
        col.lower = -kInfinity;
        col.lowerExact = {};
    } else {
        col.upper = kInfinity;
        col.upperExact = {};
    }
}

Model MpsReader::finish() {
    if (m_integerLine != 0) {
        m_line = m_integerLine;
        fail("метка 'INTORG' без 'INTEND' после нее");
    }
    // An integer column of the markers without an upper bound is a 0/1 column, as the MPS
    // convention has it (a lower bound above 1 leaves it without an upper one); a Binary column
    // whose bounds left [0, 1] is a general integer.
    for (size_t j = 0; j < m.columns.size(); ++j) {
        Column& c = m.columns[j];
        if (m_marked[j] && c.kind == ColumnKind::Integer && !m_upperGiven[j] &&
            c.upper == kInfinity && !(c.lower > 1)) {
            c.upper = 1;
            c.upperExact = {};
        }
        if (c.kind == ColumnKind::Binary && (c.lower < 0 || c.upper > 1))
            c.kind = ColumnKind::Integer;
    }
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const auto& p = m_pending[r];
        Row& row = m.rows[r];
        const text::ExactReal b{p.rhs, p.rhsExact};
        // |range|, exactly as written.
        const text::ExactReal R{std::fabs(p.range),
                                p.range < 0 ? (-text::ExactReal{p.range, p.rangeExact}).exact
                                            : p.rangeExact};
        if (p.rangeLine == 0) {
            row = p.type == 'E'   ? equalRow(row.name, b)
                  : p.type == 'L' ? lessRow(row.name, b)
                                  : greaterRow(row.name, b);
        } else if (p.type == 'E') {
            row = p.range > 0   ? rangeRow(row.name, b, b + R)
                  : p.range < 0 ? rangeRow(row.name, b - R, b)
                                : equalRow(row.name, b);
        } else {
            row = p.type == 'L' ? rangeRow(row.name, b - R, b) : rangeRow(row.name, b, b + R);
        }
    }
    if (m_scattered) {
        // A column came back after another one: look for a repeated (row, column) pair.
        std::vector<size_t> order(m.entries.size());
        for (size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return std::pair(m.entries[a].row, m.entries[a].column) <
                   std::pair(m.entries[b].row, m.entries[b].column);
        });
        for (size_t k = 1; k < order.size(); ++k) {
            const auto &a = m.entries[order[k - 1]], &b = m.entries[order[k]];
            if (a.row == b.row && a.column == b.column) {
                m_line = m_entryLine[order[k]];
                fail("коэффициент строки «" + m.rows[static_cast<size_t>(a.row)].name +
                     "» при неизвестной «" + m.columns[static_cast<size_t>(a.column)].name +
                     "» уже задан в строке " + std::to_string(m_entryLine[order[k - 1]]));
            }
        }
    }
    return std::move(m);
}

Model MpsReader::read() {
    std::string_view line;
    while (!m_end && nextLine(line)) {
        if (line.empty() || line[0] == '*') continue;
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        if (line[0] != ' ' && line[0] != '\t') {
            header(line);
            continue;
        }
        const auto f = dataFields(line);
        if (f.empty()) continue;
        switch (m_section) {
        case Section::None:
            fail("ожидался заголовок раздела (ROWS, COLUMNS, ...), найдено " + found(f[0]));
        case Section::Rows:
            rowsLine(f);
            break;
        case Section::Columns:
            columnsLine(f);
            break;
        case Section::Rhs:
            rhsOrRangesLine(f, false);
            break;
        case Section::Ranges:
            rhsOrRangesLine(f, true);
            break;
        case Section::Bounds:
            boundsLine(f);
            break;
        case Section::ObjSense:
            sense(f[0]);
            break;
        }
    }
    if (!m_end) {
        ++m_line;
        fail("ожидался раздел ENDATA, найден конец файла");
    }
    return finish();
}

// --- writing ---------------------------------------------------------------------------------

std::string freeName(const std::string& name) {
    std::string s = name;
    for (char& c : s)
        if (c == ' ' || c == '\t' || static_cast<unsigned char>(c) < 32) c = '_';
    if (s[0] == '*' || s[0] == '$') s.insert(0, "_");
    return s;
}

std::string fixedName(const std::string& name) {
    if (name.size() > 8 || name.find_first_of(" \t") != std::string::npos) return {};
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 32) return {};
    return name;
}

// A number in at most 12 characters, for the fixed columns.
std::string fixedNumber(Real v) {
    std::string s = numberText(v);
    for (int digits = 12; s.size() > 12 && digits > 0; --digits)
        s = text::formatGeneralWith(v, digits, 1, '.');
    return s;
}

class MpsWriter {
public:
    MpsWriter(const Model& m, bool fixed) : m(m), m_fixed(fixed) {}
    std::string write();

private:
    void line(std::string_view f1, std::string_view f2, std::string_view f3 = {}, Real v4 = 0,
              bool has4 = false, std::string_view f5 = {}, Real v6 = 0, bool has6 = false);
    std::string num(Real v) const { return m_fixed ? fixedNumber(v) : numberText(v); }

    const Model& m;
    bool m_fixed;
    std::string out;
};

void MpsWriter::line(std::string_view f1, std::string_view f2, std::string_view f3, Real v4,
                     bool has4, std::string_view f5, Real v6, bool has6) {
    if (!m_fixed) {
        std::string s = " ";
        s += f1.empty() ? "   "
                        : std::string(f1) + (f1.size() < 3 ? std::string(3 - f1.size(), ' ') : " ");
        s += f2;
        const std::string parts[] = {std::string(f3), has4 ? num(v4) : std::string(),
                                     std::string(f5), has6 ? num(v6) : std::string()};
        for (const auto& t : parts)
            if (!t.empty()) s += "  " + t;
        out += s + "\n";
        return;
    }
    std::string s(61, ' ');
    auto put = [&s](size_t at, std::string_view t) { s.replace(at, t.size(), t); };
    put(1, f1);
    put(4, f2);
    put(14, f3);
    if (has4) {
        const std::string n = num(v4);
        put(36 - n.size(), n);
    }
    put(39, f5);
    if (has6) {
        const std::string n = num(v6);
        put(61 - n.size(), n);
    }
    s.erase(s.find_last_not_of(' ') + 1);
    out += s + "\n";
}

std::string MpsWriter::write() {
    const auto fix = m_fixed ? std::function<std::string(const std::string&)>(fixedName)
                             : std::function<std::string(const std::string&)>(freeName);
    std::vector<std::string> rowNames, colNames;
    for (const auto& r : m.rows)
        rowNames.push_back(r.name);
    for (const auto& c : m.columns)
        colNames.push_back(c.name);
    const auto objective =
        fileNames({m.objectiveName.empty() ? std::string("obj") : m.objectiveName}, fix, "obj");
    const auto rows = fileNames(rowNames, fix, "R", objective);
    const auto cols = fileNames(colNames, fix, "C");
    const std::string& obj = objective[0];

    out += "NAME";
    if (!m.name.empty()) out += (m_fixed ? "          " : " ") + freeName(m.name);
    out += "\n";
    if (m.sense == Sense::Maximize) out += "OBJSENSE\n    MAX\n";
    out += "ROWS\n";
    line("N", obj);
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const RowKind k = m.rows[r].kind;
        // A ranged row is a G row (or an L row when l = u) with its range.
        const char* type = k == RowKind::Equal                  ? "E"
                           : k == RowKind::Less                 ? "L"
                           : k == RowKind::Greater              ? "G"
                           : m.rows[r].lower == m.rows[r].upper ? "L"
                                                                : "G";
        line(type, rows[r]);
    }
    // Coefficients by columns, rows ascending.
    std::vector<int64_t> start(m.columns.size() + 1, 0);
    for (const auto& e : m.entries)
        ++start[static_cast<size_t>(e.column) + 1];
    for (size_t j = 1; j < start.size(); ++j)
        start[j] += start[j - 1];
    std::vector<size_t> order(m.entries.size());
    {
        std::vector<int64_t> next(start.begin(), start.end() - 1);
        std::vector<size_t> byRow(m.entries.size());
        for (size_t k = 0; k < byRow.size(); ++k)
            byRow[k] = k;
        std::stable_sort(byRow.begin(), byRow.end(),
                         [&](size_t a, size_t b) { return m.entries[a].row < m.entries[b].row; });
        for (const size_t k : byRow)
            order[static_cast<size_t>(next[static_cast<size_t>(m.entries[k].column)]++)] = k;
    }
    out += "COLUMNS\n";
    bool inMarker = false;
    int markers = 0;
    for (size_t j = 0; j <= m.columns.size(); ++j) {
        // Integer columns between the markers 'INTORG' and 'INTEND'.
        const bool integer = j < m.columns.size() && isInteger(m.columns[j]);
        if (integer != inMarker) {
            line("", "MARKER" + std::to_string(markers++), "'MARKER'", 0, false,
                 integer ? "'INTORG'" : "'INTEND'");
            inMarker = integer;
        }
        if (j == m.columns.size()) break;
        const Real c = m.columns[j].cost;
        // A column without coefficients is listed with its (zero) cost, so that it exists.
        if (c != 0 || start[j] == start[j + 1]) line("", cols[j], obj, c, true);
        for (auto k = start[j]; k < start[j + 1]; ++k) {
            const auto& e = m.entries[order[static_cast<size_t>(k)]];
            line("", cols[j], rows[static_cast<size_t>(e.row)], e.value, true);
        }
    }
    out += "RHS\n";
    if (m.objectiveConstant != 0) line("", "RHS", obj, -m.objectiveConstant, true);
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const Real b = rightHandSide(m.rows[r]);
        if (b != 0) line("", "RHS", rows[r], b, true);
    }
    bool anyRange = false;
    for (size_t r = 0; r < m.rows.size(); ++r) {
        if (m.rows[r].kind != RowKind::Range) continue;
        if (!anyRange) out += "RANGES\n";
        anyRange = true;
        line("", "RNG", rows[r], m.rows[r].upper - m.rows[r].lower, true);
    }
    bool anyBound = false;
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const Real l = m.columns[j].lower, u = m.columns[j].upper;
        const bool integer = isInteger(m.columns[j]);
        // An integer column without an upper bound says so (PL): the markers' columns are 0/1
        // columns otherwise.
        if (l == 0 && u == kInfinity && !integer) continue;
        if (!anyBound) out += "BOUNDS\n";
        anyBound = true;
        auto bound = [&](const char* type, Real v, bool valued) {
            line(type, "BND", cols[j], v, valued);
        };
        if (m.columns[j].kind == ColumnKind::Binary && l == 0 && u == 1) {
            bound("BV", 0, false);
        } else if (l == u) {
            bound("FX", l, true);
        } else if (l == -kInfinity && u == kInfinity) {
            bound("FR", 0, false);
        } else {
            if (l == -kInfinity)
                bound("MI", 0, false);
            else if (l != 0)
                bound("LO", l, true);
            if (u != kInfinity)
                bound("UP", u, true);
            else if (integer)
                bound("PL", 0, false);
        }
    }
    out += "ENDATA\n";
    return out;
}

} // namespace

Model readMps(std::string_view bytes, const std::string& fileName, std::vector<std::string>* notes,
              MpsFormat format) {
    const std::string text = readableText(bytes, fileName);
    bytes = text;
    if (format != MpsFormat::Auto)
        return MpsReader(bytes, fileName, format == MpsFormat::Fixed, notes).read();
    std::vector<std::string> freeNotes;
    try {
        Model m = MpsReader(bytes, fileName, false, &freeNotes).read();
        if (notes) notes->insert(notes->end(), freeNotes.begin(), freeNotes.end());
        return m;
    } catch (const ReadError& freeError) {
        try {
            return MpsReader(bytes, fileName, true, notes).read();
        } catch (const ReadError&) {
            throw freeError;
        }
    }
}

std::string writeMps(const Model& model, MpsFormat format) {
    return MpsWriter(model, format == MpsFormat::Fixed).write();
}

} // namespace kvado::model
