// The CPLEX LP format: an objective section (Minimize/Maximize, an optional name and a
// constant), Subject To, Bounds and End, "\" comments. Section keywords count only at the start
// of a line, so names may be any word. A coefficient may touch its name ("3x" is 3 x).

#include <cmath>
#include <deque>

#include "model/FileSupport.h"
#include "model/ModelFiles.h"

namespace kvado::model {
namespace {

using namespace detail;

struct Token {
    enum Kind { Name, Number, Op, End } kind = End;
    std::string_view text;
    int64_t line = 0;
    bool lineStart = false;
    Real value = 0;
    text::ExactNumber exact = {}; // the text's exact value where it differs from `value`
};

using text::ExactReal;

// sign · x for a sign of +1 or -1, with its exact value.
ExactReal signedValue(Real sign, const Token& t) {
    const ExactReal x{t.value, t.exact};
    return sign < 0 ? -x : x;
}

bool nameStart(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80) return true;
    switch (c) {
    case '!':
    case '"':
    case '#':
    case '$':
    case '%':
    case '&':
    case '(':
    case ')':
    case '/':
    case ',':
    case ';':
    case '?':
    case '@':
    case '_':
    case '`':
    case '\'':
    case '{':
    case '}':
    case '|':
    case '~':
        return true;
    default:
        return false;
    }
}

bool nameChar(unsigned char c) {
    return nameStart(c) || (c >= '0' && c <= '9') || c == '.';
}

bool digit(char c) {
    return c >= '0' && c <= '9';
}

class Lexer {
public:
    Lexer(std::string_view bytes, const std::string& file) : s(bytes), m_file(file) {}

    const Token& peek(size_t k = 0) {
        while (m_ahead.size() <= k)
            m_ahead.push_back(scan());
        return m_ahead[k];
    }
    Token next() {
        peek();
        Token t = m_ahead.front();
        m_ahead.pop_front();
        return t;
    }
    const std::string& file() const { return m_file; }
    std::string problemName;

private:
    Token scan();
    [[noreturn]] void fail(const std::string& text) const { throw ReadError(m_file, m_line, text); }

    std::string_view s;
    std::string m_file;
    size_t p = 0;
    int64_t m_line = 1;
    bool m_lineStart = true;
    std::deque<Token> m_ahead;
};

Token Lexer::scan() {
    // Blanks, line ends and comments.
    for (;;) {
        if (p >= s.size()) return {Token::End, {}, m_line, m_lineStart};
        const char c = s[p];
        if (c == '\n') {
            ++m_line;
            m_lineStart = true;
            ++p;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++p;
        } else if (c == '\\' && p + 1 < s.size() && s[p + 1] == '*') {
            const int64_t startLine = m_line;
            p += 2;
            while (p < s.size() && !(s[p] == '*' && p + 1 < s.size() && s[p + 1] == '\\')) {
                if (s[p] == '\n') ++m_line;
                ++p;
            }
            if (p >= s.size()) {
                m_line = startLine;
                fail("комментарий \\* не закрыт знаками *\\");
            }
            p += 2;
        } else if (c == '\\') {
            const size_t b = p + 1;
            while (p < s.size() && s[p] != '\n')
                ++p;
            // The writers' "\ Problem name: NAME" gives the model its name.
            std::string_view comment = s.substr(b, p - b);
            while (!comment.empty() && (comment.front() == ' ' || comment.front() == '\t'))
                comment.remove_prefix(1);
            while (!comment.empty() && (comment.back() == ' ' || comment.back() == '\r'))
                comment.remove_suffix(1);
            constexpr std::string_view tag = "Problem name:";
            if (problemName.empty() && comment.substr(0, tag.size()) == tag) {
                comment.remove_prefix(tag.size());
                while (!comment.empty() && comment.front() == ' ')
                    comment.remove_prefix(1);
                problemName = std::string(comment);
            }
        } else {
            break;
        }
    }
    Token t;
    t.line = m_line;
    t.lineStart = m_lineStart;
    m_lineStart = false;
    const size_t b = p;
    const auto c = static_cast<unsigned char>(s[p]);
    if (digit(static_cast<char>(c)) || (c == '.' && p + 1 < s.size() && digit(s[p + 1]))) {
        while (p < s.size() && (digit(s[p]) || s[p] == '.'))
            ++p;
        if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
            size_t q = p + 1;
            if (q < s.size() && (s[q] == '+' || s[q] == '-')) ++q;
            if (q < s.size() && digit(s[q])) {
                p = q;
                while (p < s.size() && digit(s[p]))
                    ++p;
            }
        }
        t.kind = Token::Number;
        t.text = s.substr(b, p - b);
        const auto v = text::toPointReal(t.text);
        if (!v || t.text.find('.') != t.text.rfind('.'))
            fail("ожидалось число, найдено " + found(t.text));
        t.value = *v;
        t.exact = text::ExactNumber::ofText(t.text, '.', *v);
        return t;
    }
    if (nameStart(c)) {
        while (p < s.size() && nameChar(static_cast<unsigned char>(s[p])))
            ++p;
        t.kind = Token::Name;
        t.text = s.substr(b, p - b);
        return t;
    }
    t.kind = Token::Op;
    if (p + 1 < s.size()) {
        const std::string_view two = s.substr(p, 2);
        if (two == "<=" || two == "=<" || two == ">=" || two == "=>") {
            p += 2;
            t.text = two;
            return t;
        }
    }
    if (c == '<' || c == '>' || c == '=' || c == '+' || c == '-' || c == ':') {
        t.text = s.substr(p++, 1);
        return t;
    }
    if (c == '[' || c == '^' || c == '*')
        fail("квадратичные члены не поддерживаются, найдено " + found(s.substr(p, 1)));
    size_t n = 1; // the whole UTF-8 character in the message
    while (p + n < s.size() && (static_cast<unsigned char>(s[p + n]) & 0xC0) == 0x80)
        ++n;
    fail("недопустимый знак " + found(s.substr(p, n)));
}

enum class Keyword { None, Minimize, Maximize, SubjectTo, Bounds, End, Integer, Binary, Sos, Semi };

bool isOp(const Token& t, std::string_view op) {
    return t.kind == Token::Op && t.text == op;
}

// '<' / '<=' / '=<' as -1, '>' ... as +1, '=' as 0; 2 for anything else.
int relation(const Token& t) {
    if (t.kind != Token::Op) return 2;
    if (t.text == "<=" || t.text == "=<" || t.text == "<") return -1;
    if (t.text == ">=" || t.text == "=>" || t.text == ">") return 1;
    if (t.text == "=") return 0;
    return 2;
}

class LpReader {
public:
    LpReader(std::string_view bytes, const std::string& file) : lx(bytes, file) {}
    Model read();

private:
    [[noreturn]] void fail(const Token& at, const std::string& expected) const {
        // `expected` says what was expected, verb included ("ожидалось число").
        throw ReadError(lx.file(), at.line,
                        expected + (at.kind == Token::End ? std::string(", найден конец файла")
                                                          : ", найдено " + found(at.text)));
    }
    [[noreturn]] void failText(const Token& at, const std::string& text) const {
        throw ReadError(lx.file(), at.line, text);
    }
    // The keyword that token k starts, if it starts a line (a label "word:" is never one).
    Keyword keyword(size_t k = 0);
    int32_t column(std::string_view name);
    void objective();
    void constraints();
    void constraint();
    void bounds();
    // The names of a General or Binary section, marked `kind`.
    void integers(ColumnKind kind);
    // A term list into the current row's entries (row >= 0) or the costs; returns the constant.
    ExactReal terms(int32_t row, bool objective);
    // Adds a·x_j; false when the sum of the terms is beyond the extended range.
    bool addTerm(int32_t row, int32_t j, const ExactReal& a);
    void addTermAt(const Token& at, int32_t row, int32_t j, const ExactReal& a);
    ExactReal signedNumber(const char* expected, bool infinite);

    Lexer lx;
    Model m;
    NameIndex m_columns, m_rows;
    std::vector<int32_t> m_termRow; // per column: the row whose entry it last took
    std::vector<size_t> m_termAt;   // and where that entry is
    std::vector<bool> m_unnamed;    // per row: named by its number
};

Keyword LpReader::keyword(size_t k) {
    const Token& t = lx.peek(k);
    if (t.kind != Token::Name || !t.lineStart) return Keyword::None;
    const std::string_view w = t.text;
    if (sameWord(w, "subject") || sameWord(w, "such")) {
        const Token& u = lx.peek(k + 1);
        if (u.kind == Token::Name &&
            (sameWord(w, "subject") ? sameWord(u.text, "to") : sameWord(u.text, "that")))
            return Keyword::SubjectTo;
        return Keyword::None;
    }
    if (isOp(lx.peek(k + 1), ":")) return Keyword::None;
    for (const char* s : {"minimize", "minimise", "minimum", "min"})
        if (sameWord(w, s)) return Keyword::Minimize;
    for (const char* s : {"maximize", "maximise", "maximum", "max"})
        if (sameWord(w, s)) return Keyword::Maximize;
    for (const char* s : {"st", "s.t.", "st."})
        if (sameWord(w, s)) return Keyword::SubjectTo;
    if (sameWord(w, "bounds") || sameWord(w, "bound")) return Keyword::Bounds;
    if (sameWord(w, "end")) return Keyword::End;
    for (const char* s : {"general", "generals", "gen", "integer", "integers", "int"})
        if (sameWord(w, s)) return Keyword::Integer;
    for (const char* s : {"binary", "binaries", "bin"})
        if (sameWord(w, s)) return Keyword::Binary;
    if (sameWord(w, "sos")) return Keyword::Sos;
    for (const char* s : {"semi", "semis", "semi-continuous", "semicontinuous"})
        if (sameWord(w, s)) return Keyword::Semi;
    return Keyword::None;
}

int32_t LpReader::column(std::string_view name) {
    auto [it, added] =
        m_columns.try_emplace(std::string(name), static_cast<int32_t>(m.columns.size()));
    if (added) {
        checkModelSize(m.rows.size(), m.columns.size() + 1);
        m.columns.push_back({std::string(name)});
        m_termRow.push_back(-1);
        m_termAt.push_back(0);
    }
    return it->second;
}

bool LpReader::addTerm(int32_t row, int32_t j, const ExactReal& a) {
    const auto uj = static_cast<size_t>(j);
    if (row < 0) {
        Column& c = m.columns[uj];
        const ExactReal sum = exactCost(c) + a;
        c.cost = sum.value;
        c.costExact = sum.exact;
        return std::isfinite(c.cost);
    }
    if (m_termRow[uj] == row) {
        Entry& e = m.entries[m_termAt[uj]]; // "x + 2 x": the terms add up
        const ExactReal sum = exactValue(e) + a;
        e.value = sum.value;
        e.exact = sum.exact;
        return std::isfinite(e.value);
    }
    m_termRow[uj] = row;
    m_termAt[uj] = m.entries.size();
    m.entries.push_back({row, j, a.value, a.exact});
    return true;
}

void LpReader::addTermAt(const Token& at, int32_t row, int32_t j, const ExactReal& a) {
    if (!addTerm(row, j, a))
        failText(at, "сумма коэффициентов при «" + m.columns[static_cast<size_t>(j)].name +
                         "» вне диапазона чисел");
}

ExactReal LpReader::terms(int32_t row, bool objective) {
    ExactReal constant;
    for (bool first = true;; first = false) {
        const Token& t0 = lx.peek();
        if (objective ? (t0.kind == Token::End || keyword() != Keyword::None) : relation(t0) != 2)
            break;
        Real sign = 1;
        bool signed_ = false;
        while (isOp(lx.peek(), "+") || isOp(lx.peek(), "-")) {
            if (lx.next().text == "-") sign = -sign;
            signed_ = true;
        }
        const Token& t = lx.peek();
        if (!first && !signed_)
            fail(t, objective ? "ожидался знак + или - либо новый раздел"
                              : "ожидался знак +, - или знак отношения (<=, >=, =)");
        if (t.kind == Token::Number) {
            const ExactReal a = signedValue(sign, lx.next());
            const Token& u = lx.peek();
            if (u.kind == Token::Name && keyword() == Keyword::None && !isOp(lx.peek(1), ":")) {
                const Token name = lx.next();
                addTermAt(name, row, column(name.text), a);
            } else {
                constant = constant + a;
            }
        } else if (t.kind == Token::Name && keyword() == Keyword::None) {
            const Token name = lx.next();
            addTermAt(name, row, column(name.text), ExactReal{sign, {}});
        } else {
            fail(t, "ожидалось имя переменной или число");
        }
    }
    return constant;
}

ExactReal LpReader::signedNumber(const char* expected, bool infinite) {
    Real sign = 1;
    if (isOp(lx.peek(), "+") || isOp(lx.peek(), "-"))
        if (lx.next().text == "-") sign = -1;
    const Token& t = lx.peek();
    if (t.kind == Token::Number) {
        const ExactReal v = signedValue(sign, lx.next());
        // Bounds this large are infinite, as in the common readers.
        if (infinite && std::fabs(v.value) >= 1e30L)
            return {v.value < 0 ? -kInfinity : kInfinity, {}};
        return v;
    }
    if (infinite && t.kind == Token::Name &&
        (sameWord(t.text, "inf") || sameWord(t.text, "infinity"))) {
        lx.next();
        return {sign * kInfinity, {}};
    }
    fail(t, expected);
}

void LpReader::objective() {
    if (lx.peek().kind == Token::Name && isOp(lx.peek(1), ":") && keyword() == Keyword::None) {
        m.objectiveName = std::string(lx.next().text);
        lx.next();
    }
    const ExactReal constant = terms(-1, true);
    m.objectiveConstant = constant.value;
    m.objectiveConstantExact = constant.exact;
}

void LpReader::constraint() {
    std::string name;
    const Token first = lx.peek();
    if (first.kind == Token::Name && isOp(lx.peek(1), ":")) {
        name = std::string(lx.next().text);
        lx.next();
    }
    const auto row = static_cast<int32_t>(m.rows.size());
    checkModelSize(m.rows.size() + 1, m.columns.size());
    const size_t entriesBefore = m.entries.size();
    // "l <= expression [<= u]" begins with a number and a relation.
    size_t k = isOp(lx.peek(), "+") || isOp(lx.peek(), "-") ? 1 : 0;
    bool leading = false;
    ExactReal left;
    int rel1 = 2;
    // A number alone before a new section or the end belongs to no constraint ("r: x >= 2 3"):
    // the mistake is at the number, not at the section after it.
    if (lx.peek(k).kind == Token::Number &&
        (lx.peek(k + 1).kind == Token::End || keyword(k + 1) != Keyword::None))
        fail(lx.peek(k), "ожидалось ограничение или новый раздел");
    if (lx.peek(k).kind == Token::Number && relation(lx.peek(k + 1)) != 2) {
        leading = true;
        left = signedNumber("ожидалось число", false);
        rel1 = relation(lx.next());
    }
    const ExactReal constant = terms(row, false);
    Row r;
    const Token relToken = lx.peek();
    const int rel2 = relation(relToken);
    if (rel2 == 2) {
        if (!leading) fail(relToken, "ожидался знак отношения (<=, >=, =)");
        const ExactReal b = left - constant;
        r = rel1 < 0 ? greaterRow(name, b) : rel1 > 0 ? lessRow(name, b) : equalRow(name, b);
    } else {
        lx.next();
        const ExactReal b = signedNumber("ожидалось число (правая часть)", false) - constant;
        if (!leading) {
            r = rel2 < 0 ? lessRow(name, b) : rel2 > 0 ? greaterRow(name, b) : equalRow(name, b);
        } else {
            if (rel1 != rel2 || rel1 == 0)
                failText(relToken,
                         "в двустороннем ограничении нужны два знака <= или два знака >=");
            const ExactReal a = left - constant;
            r = rel1 < 0 ? rangeRow(name, a, b) : rangeRow(name, b, a);
        }
    }
    // "c: x >= 1 >= 2" is no row and a second one "0 >= 2": one relation too many.
    if (relation(lx.peek()) != 2)
        fail(lx.peek(), "лишний знак отношения: у ограничения уже есть правая часть");
    // Terms that cancelled ("x - x") are no coefficients.
    size_t out = entriesBefore;
    for (size_t e = entriesBefore; e < m.entries.size(); ++e)
        if (m.entries[e].value != 0) m.entries[out++] = m.entries[e];
    m.entries.resize(out);
    if (name.empty()) {
        m_unnamed.push_back(true);
    } else {
        if (!m_rows.emplace(name, row).second)
            failText(first, "ограничение «" + name + "» уже задано выше");
        m_unnamed.push_back(false);
    }
    m.rows.push_back(std::move(r));
}

void LpReader::constraints() {
    while (lx.peek().kind != Token::End && keyword() == Keyword::None)
        constraint();
}

void setLower(Column& c, const ExactReal& v) {
    c.lower = v.value;
    c.lowerExact = v.exact;
}
void setUpper(Column& c, const ExactReal& v) {
    c.upper = v.value;
    c.upperExact = v.exact;
}

void LpReader::bounds() {
    while (lx.peek().kind != Token::End && keyword() == Keyword::None) {
        const Token& t = lx.peek();
        if (t.kind == Token::Name) {
            const int32_t j = column(lx.next().text);
            Column& c = m.columns[static_cast<size_t>(j)];
            const Token& u = lx.peek();
            if (u.kind == Token::Name && sameWord(u.text, "free")) {
                lx.next();
                setLower(c, {-kInfinity, {}});
                setUpper(c, {kInfinity, {}});
                continue;
            }
            const int rel = relation(u);
            if (rel == 2) fail(u, "ожидался знак отношения (<=, >=, =) или free");
            lx.next();
            const ExactReal v = signedNumber("ожидалось число (граница)", true);
            if (rel <= 0) setUpper(c, v);
            if (rel >= 0) setLower(c, v);
            continue;
        }
        if (t.kind != Token::Number && !isOp(t, "+") && !isOp(t, "-"))
            fail(t, "ожидалось имя переменной или число (граница)");
        const ExactReal a = signedNumber("ожидалось число (граница)", true);
        const Token relToken = lx.peek();
        const int rel1 = relation(relToken);
        if (rel1 == 2) fail(relToken, "ожидался знак отношения (<=, >=, =)");
        lx.next();
        const Token& n = lx.peek();
        if (n.kind != Token::Name) fail(n, "ожидалось имя переменной");
        Column& c = m.columns[static_cast<size_t>(column(lx.next().text))];
        if (rel1 == 0) {
            setLower(c, a);
            setUpper(c, a);
            continue;
        }
        (rel1 < 0 ? setLower : setUpper)(c, a);
        const int rel2 = relation(lx.peek());
        if (rel2 == 2) continue;
        if (rel2 != rel1)
            failText(lx.peek(), "в двусторонней границе нужны два знака <= или два знака >=");
        lx.next();
        const ExactReal b = signedNumber("ожидалось число (граница)", true);
        (rel1 < 0 ? setUpper : setLower)(c, b);
    }
}

void LpReader::integers(ColumnKind kind) {
    while (lx.peek().kind != Token::End && keyword() == Keyword::None) {
        const Token& t = lx.peek();
        if (t.kind != Token::Name) fail(t, "ожидалось имя целочисленной переменной");
        Column& c = m.columns[static_cast<size_t>(column(lx.next().text))];
        c.kind = kind;
        if (kind == ColumnKind::Binary) {
            setLower(c, {0, {}});
            setUpper(c, {1, {}});
        }
    }
}

Model LpReader::read() {
    const Keyword sense = keyword();
    if (sense != Keyword::Minimize && sense != Keyword::Maximize &&
        !(lx.peek().kind == Token::Name && lx.peek().lineStart && isOp(lx.peek(1), ":") &&
          (sameWord(lx.peek().text, "max") || sameWord(lx.peek().text, "min"))))
        fail(lx.peek(), "ожидался раздел Minimize или Maximize");
    const Token s = lx.next();
    m.sense = sameWord(s.text.substr(0, 3), "max") ? Sense::Maximize : Sense::Minimize;
    if (isOp(lx.peek(), ":")) lx.next(); // "max: 3x + 5y", as textbooks write it
    objective();
    bool seenConstraints = false, seenBounds = false;
    for (;;) {
        const Token& t = lx.peek();
        if (t.kind == Token::End) break;
        const Keyword k = keyword();
        if (k == Keyword::End) break;
        if (k == Keyword::SubjectTo && !seenConstraints && !seenBounds) {
            const bool twoWords = sameWord(t.text, "subject") || sameWord(t.text, "such");
            lx.next();
            if (twoWords) lx.next();
            seenConstraints = true;
            constraints();
        } else if (k == Keyword::Bounds && !seenBounds) {
            lx.next();
            seenBounds = true;
            bounds();
        } else if (k == Keyword::Integer || k == Keyword::Binary) {
            lx.next();
            integers(k == Keyword::Integer ? ColumnKind::Integer : ColumnKind::Binary);
        } else if (k == Keyword::Sos) {
            failText(t, "раздел «" + std::string(t.text) +
                            "» не поддерживается: специальные упорядоченные множества (SOS) "
                            "программа не решает");
        } else if (k == Keyword::Semi) {
            failText(t, "раздел «" + std::string(t.text) +
                            "» не поддерживается: полунепрерывные неизвестные программа не "
                            "решает");
        } else {
            fail(t, seenBounds        ? "ожидался раздел End"
                    : seenConstraints ? "ожидался раздел Bounds или End"
                                      : "ожидался раздел Subject To, Bounds или End");
        }
    }
    m.name = lx.problemName;
    for (Column& c : m.columns)
        if (c.kind == ColumnKind::Binary && (c.lower < 0 || c.upper > 1))
            c.kind = ColumnKind::Integer;
    // Rows without a name are called by their number, unless a named row already is.
    for (size_t r = 0; r < m.rows.size(); ++r) {
        if (!m_unnamed[r]) continue;
        std::string name = "R";
        name += std::to_string(r + 1);
        while (m_rows.count(name))
            name += "_";
        m_rows.emplace(name, static_cast<int32_t>(r));
        m.rows[r].name = std::move(name);
    }
    return std::move(m);
}

// --- writing ---------------------------------------------------------------------------------

bool reservedWord(const std::string& s) {
    for (const char* w : {"minimize",
                          "minimise",
                          "minimum",
                          "min",
                          "maximize",
                          "maximise",
                          "maximum",
                          "max",
                          "subject",
                          "such",
                          "st",
                          "s.t.",
                          "st.",
                          "bounds",
                          "bound",
                          "end",
                          "general",
                          "generals",
                          "gen",
                          "integer",
                          "integers",
                          "int",
                          "binary",
                          "binaries",
                          "bin",
                          "sos",
                          "semi",
                          "semis",
                          "semicontinuous",
                          "free",
                          "inf",
                          "infinity"})
        if (sameWord(s, w)) return true;
    return false;
}

std::string lpName(const std::string& name) {
    std::string s;
    for (const char c : name)
        s += nameChar(static_cast<unsigned char>(c)) ? c : '_';
    if (!nameStart(static_cast<unsigned char>(s[0]))) {
        std::string t = "_";
        s = t.append(s);
    }
    if (reservedWord(s)) s += "_";
    return s;
}

// A Binary column whose bounds are 0 and 1, written in the Binaries section alone (a Binary
// column narrowed further is written as a general integer with its bounds).
bool binaryAsWritten(const Column& c) {
    return c.kind == ColumnKind::Binary && c.lower == 0 && c.upper == 1;
}

void writeTerms(std::string& out, const std::vector<std::pair<Real, const std::string*>>& terms) {
    int onLine = 0;
    bool first = true;
    for (const auto& [a, name] : terms) {
        if (onLine == 8) {
            out += "\n   ";
            onLine = 0;
        }
        const Real mag = std::fabs(a);
        out += a < 0 || std::signbit(a) ? (first ? "-" : " -") : (first ? "" : " +");
        if (!first || a < 0) out += ' ';
        if (mag != 1) out += numberText(mag) + " ";
        out += *name;
        first = false;
        ++onLine;
    }
}

} // namespace

Model readLp(std::string_view bytes, const std::string& fileName, std::vector<std::string>*) {
    const std::string text = readableText(bytes, fileName);
    return LpReader(text, fileName).read();
}

std::string writeLp(const Model& m) {
    std::vector<std::string> rowNames, colNames;
    for (const auto& r : m.rows)
        rowNames.push_back(r.name);
    for (const auto& c : m.columns)
        colNames.push_back(c.name);
    const auto rows = fileNames(rowNames, lpName, "R");
    const auto cols = fileNames(colNames, lpName, "x");
    std::string out;
    if (!m.name.empty()) out += "\\ Problem name: " + m.name + "\n";
    out += m.sense == Sense::Maximize ? "Maximize\n" : "Minimize\n";
    out += " ";
    if (!m.objectiveName.empty()) out += lpName(m.objectiveName) + ": ";
    // Every column, zero costs too, so that the columns read back in their order.
    std::vector<std::pair<Real, const std::string*>> terms;
    for (size_t j = 0; j < m.columns.size(); ++j)
        terms.emplace_back(m.columns[j].cost, &cols[j]);
    writeTerms(out, terms);
    if (m.objectiveConstant != 0)
        out +=
            (m.objectiveConstant < 0 ? " - " : " + ") + numberText(std::fabs(m.objectiveConstant));
    out += "\nSubject To\n";
    // The coefficients by rows, in the model's order within a row.
    std::vector<int64_t> start(m.rows.size() + 1, 0);
    for (const auto& e : m.entries)
        ++start[static_cast<size_t>(e.row) + 1];
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    std::vector<size_t> order(m.entries.size());
    {
        std::vector<int64_t> next(start.begin(), start.end() - 1);
        for (size_t k = 0; k < m.entries.size(); ++k)
            order[static_cast<size_t>(next[static_cast<size_t>(m.entries[k].row)]++)] = k;
    }
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const Row& row = m.rows[r];
        out += " " + rows[r] + ": ";
        if (row.kind == RowKind::Range) out += numberText(row.lower) + " <= ";
        terms.clear();
        for (auto k = start[r]; k < start[r + 1]; ++k) {
            const auto& e = m.entries[order[static_cast<size_t>(k)]];
            terms.emplace_back(e.value, &cols[static_cast<size_t>(e.column)]);
        }
        if (terms.empty() && !cols.empty()) terms.emplace_back(0, &cols[0]);
        writeTerms(out, terms);
        switch (row.kind) {
        case RowKind::Less:
            out += " <= " + numberText(row.upper);
            break;
        case RowKind::Greater:
            out += " >= " + numberText(row.lower);
            break;
        case RowKind::Equal:
            out += " = " + numberText(row.lower);
            break;
        case RowKind::Range:
            out += " <= " + numberText(row.upper);
            break;
        }
        out += "\n";
    }
    bool any = false;
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const Real l = m.columns[j].lower, u = m.columns[j].upper;
        if (l == 0 && u == kInfinity) continue;
        if (binaryAsWritten(m.columns[j])) continue; // the Binaries section says 0 and 1
        if (!any) out += "Bounds\n";
        any = true;
        const std::string& n = cols[j];
        out += ' ';
        if (l == -kInfinity && u == kInfinity) {
            out += n;
            out += " free";
        } else if (l == u) {
            out += n;
            out += " = ";
            out += numberText(l);
        } else if (u == kInfinity) {
            out += n;
            out += " >= ";
            out += numberText(l);
        } else if (l == 0) {
            out += n;
            out += " <= ";
            out += numberText(u);
        } else {
            out += numberText(l);
            out += " <= ";
            out += n;
            out += " <= ";
            out += numberText(u);
        }
        out += '\n';
    }
    // General integers, then binaries, eight names a line.
    for (const bool binary : {false, true}) {
        int onLine = 0;
        for (size_t j = 0; j < m.columns.size(); ++j) {
            const Column& c = m.columns[j];
            if (!isInteger(c) || binaryAsWritten(c) != binary) continue;
            if (onLine == 0 || onLine == 8) {
                if (onLine == 0)
                    out += binary ? "Binaries\n" : "Generals\n";
                else
                    out += '\n';
                onLine = 0;
            }
            out += ' ' + cols[j];
            ++onLine;
        }
        if (onLine > 0) out += '\n';
    }
    out += "End\n";
    return out;
}

} // namespace kvado::model
