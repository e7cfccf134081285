// The saved report is checked by reading it back with a real RTF reader, unrtf, rather than by
// comparing RTF texts: what matters is what a reader makes of the file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "report/RtfWriter.h"

using namespace kvado::report;
// Inside a test body "Run" would name the test's own member function.
using TextRun = kvado::report::Run;
namespace fs = std::filesystem;

namespace {

const char* const kUnrtf = "/usr/bin/unrtf";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A folder of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        m_path = fs::temp_directory_path() /
                 ("kvado-rtf-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// Runs unrtf with `options` on `rtf` saved to a file and returns what it printed.
std::string unrtf(const std::string& options, const std::string& rtf) {
    TempDir dir;
    const fs::path file = dir.path() / "report.rtf";
    std::ofstream(file, std::ios::binary) << rtf;
    const std::string command =
        std::string(kUnrtf) + " " + options + " '" + file.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    pclose(pipe);
    return out;
}

// The lines of the text below the rule that ends unrtf's header.
std::vector<std::string> bodyLines(const std::string& text) {
    const std::string rule = "-----------------\n";
    const size_t start = text.find(rule);
    if (start == std::string::npos) return {"(no body in: " + text + ")"};
    std::vector<std::string> lines;
    std::istringstream in(text.substr(start + rule.size()));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// "&#N;" references to UTF-8, joining UTF-16 surrogate pairs.
std::string decodeReferences(const std::string& s) {
    std::string out;
    char32_t highSurrogate = 0;
    size_t i = 0;
    while (i < s.size()) {
        const size_t end = s.find(';', i);
        if (s.compare(i, 2, "&#") == 0 && end != std::string::npos) {
            char32_t cp = static_cast<char32_t>(std::stoul(s.substr(i + 2, end - i - 2)));
            i = end + 1;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                highSurrogate = cp;
                continue;
            }
            if (cp >= 0xDC00 && cp <= 0xDFFF && highSurrogate)
                cp = 0x10000 + ((highSurrogate - 0xD800) << 10) + (cp - 0xDC00);
            highSurrogate = 0;
            appendUtf8(out, cp);
        } else {
            out += s[i++];
        }
    }
    return out;
}

// unrtf's stock text output prints a character it has no entry for as the low byte of its
// code point, which is no use for Cyrillic. This output configuration is the stock one plus
// the entry its HTML output uses: every such character as "&#N;".
class UnicodeText {
public:
    UnicodeText() {
        std::string conf = readFile("/usr/share/unrtf/text.conf");
        if (conf.empty()) return;
        conf += "unisymbol_print\n\t&#%;\n";
        std::ofstream(m_dir.path() / "text.conf", std::ios::binary) << conf;
        m_ok = true;
    }
    bool ok() const { return m_ok; }
    std::vector<std::string> lines(const std::string& rtf) const {
        std::vector<std::string> out;
        for (const std::string& line :
             bodyLines(unrtf("-P '" + m_dir.path().string() + "/' --text", rtf)))
            out.push_back(decodeReferences(line));
        return out;
    }

private:
    TempDir m_dir;
    bool m_ok = false;
};

// A report-like document: lines starting with "#" are headings, written without the "#".
std::vector<Paragraph> document(const std::vector<std::string>& lines) {
    ReportDocument doc;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '#') {
            doc.setCurrentFormat(ReportDocument::headingFormat());
            doc.append(line.substr(1));
        } else {
            doc.append(line);
        }
    }
    return doc.paragraphs();
}

std::vector<std::string> withoutMarks(std::vector<std::string> lines) {
    for (std::string& line : lines)
        if (!line.empty() && line[0] == '#') line.erase(0, 1);
    return lines;
}

#define SKIP_WITHOUT_UNRTF()                                                                       \
    if (!fs::exists(kUnrtf)) GTEST_SKIP() << kUnrtf << " is not installed"

struct TextCase {
    const char* name;
    std::vector<std::string> lines;
};

// Texts that are plain ASCII: the stock text output must give them back byte for byte.
const TextCase kAsciiCases[] = {
    {"plan and shadow-price lines",
     {"X[  1] (                     x1 ) =    4.000",
      "Pi[ 12] (                              abc ) =    1.000", "Znachenie = 12.50"}},
    {"braces and backslashes",
     {"{", "}", "\\", "a{b}c\\d", "\\par \\b0 {\\rtf1 x}", "\\'41\\u1056?", "}{"}},
    {"blank and empty lines", {" ", "", "  ", "", "     ", " "}},
    {"blanks at the ends", {"     lead", "trail     ", " a  b   c    d "}},
    {"headings", {"#     HEADING", " ", "#   x", "body", "# "}},
};

// Texts with characters outside ASCII, in windows-1251 and beyond it.
const TextCase kUnicodeCases[] = {
    {"report",
     {"#     РЕШЕНИЕ", "Файл данных: zad1.dat  08.12.2026 7:20:21", " ", "#   Оптимальный план",
      " ", "X[  1] (                     x1 ) =    4.000", " ", "#   Целевая функция", " ",
      "Значение = 4.00", " ", "# Теневые цены ресурсов (Pi)", " ",
      "Pi[ 12] (                    Ресурс Ё ) =    1.000"}},
    {"windows-1251 beyond Cyrillic", {"€ „ … † ‰ ‹ › ‘ ’ “ ” • – — ™ № ё Ё ґ Ґ і ї є « » § ©"}},
    {"outside windows-1251",
     {"Greek Ωμέγα, after", "CJK 中文, after", "Hangul 한국어 and ￥ (above U+8000)",
      "emoji 😀 and 𝑥 (beyond 16 bits)", "mixed Жω中 {}\\ end"}},
    {"blanks between non-ASCII", {"Ж  ж", "  Ω  ", "中   "}},
};

} // namespace

TEST(RtfWriter, IsSevenBitWithBalancedGroupsAndOneParPerParagraph) {
    const std::vector<std::string> texts = {"{",          "}}}", "\\",       "\\{",
                                            "Ж{ω}中\\",   "😀",   "\xff\xfe", "a\xd0",
                                            "\t\x01\x7f", "",    "a\nb",     "     "};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const std::vector<Paragraph> doc = document({text, "#" + text});
        const std::string rtf = writeRtf(doc);
        int depth = 0, minDepth = 1, pars = 0;
        for (size_t i = 0; i < rtf.size(); ++i) {
            const auto c = static_cast<unsigned char>(rtf[i]);
            ASSERT_LT(c, 0x80) << "byte " << i;
            if (c == '\\') {
                if (rtf.compare(i, 5, "\\par\n") == 0 || rtf.compare(i, 5, "\\par\\") == 0) ++pars;
                ++i; // an escaped character or the first letter of a control word
            } else if (c == '{') {
                ++depth;
            } else if (c == '}') {
                --depth;
                if (i + 2 < rtf.size()) minDepth = std::min(minDepth, depth);
            }
        }
        EXPECT_EQ(depth, 0);
        EXPECT_GE(minDepth, 1) << "the document group closes early";
        EXPECT_EQ(pars, static_cast<int>(doc.size()));
        EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    }
}

TEST(RtfWriter, UnrtfTextGivesBackAsciiTextExactly) {
    SKIP_WITHOUT_UNRTF();
    for (const TextCase& c : kAsciiCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(bodyLines(unrtf("--text", writeRtf(document(c.lines)))), withoutMarks(c.lines));
    }
}

TEST(RtfWriter, UnrtfTextGivesBackEveryCharacterExactly) {
    SKIP_WITHOUT_UNRTF();
    UnicodeText reader;
    if (!reader.ok()) GTEST_SKIP() << "unrtf's text.conf is missing";
    auto check = [&](const auto& cases) {
        for (const TextCase& c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(reader.lines(writeRtf(document(c.lines))), withoutMarks(c.lines));
        }
    };
    check(kAsciiCases);
    check(kUnicodeCases);
}

TEST(RtfWriter, RunsOfOneParagraphReadBackAsOneLine) {
    SKIP_WITHOUT_UNRTF();
    UnicodeText reader;
    if (!reader.ok()) GTEST_SKIP() << "unrtf's text.conf is missing";
    const CharFormat heading = ReportDocument::headingFormat();
    const CharFormat base = ReportDocument::baseFormat();
    // The blanks on either side of a format change must not fold into one.
    const std::vector<Paragraph> doc = {
        Paragraph{{TextRun{"Жирный ", heading}, TextRun{" обычный", base}, TextRun{"", heading},
                   TextRun{"  ", base}, TextRun{"}", heading}}},
        Paragraph{},
    };
    EXPECT_EQ(reader.lines(writeRtf(doc)), (std::vector<std::string>{"Жирный  обычный  }", ""}));
}

TEST(RtfWriter, InvalidUtf8ReadsBackAsReplacementCharacters) {
    SKIP_WITHOUT_UNRTF();
    UnicodeText reader;
    if (!reader.ok()) GTEST_SKIP() << "unrtf's text.conf is missing";
    EXPECT_EQ(reader.lines(writeRtf(document({"a\xff"
                                              "b",
                                              "\xd0 c\xe2\x82"}))),
              (std::vector<std::string>{"a\uFFFDb", "\uFFFD c\uFFFD\uFFFD"}));
}

// A reader that skips \u reads the fallback byte through windows-1251. unrtf's stock text output
// is such a reader; it then prints the low byte of the code point it decoded.
TEST(RtfWriter, FallbackBytesAreWindows1251) {
    SKIP_WITHOUT_UNRTF();
    const std::string text = "РЕШЕНИЕ ёЁ € № Ω中";
    const std::string expected = std::string("\x20\x15\x28\x15\x1d\x18\x15 \x51\x01 \xac \x16 ??");
    EXPECT_EQ(bodyLines(unrtf("--text", writeRtf(document({text})))),
              std::vector<std::string>{expected});
}

TEST(RtfWriter, UnrtfHtmlShowsWhereFormatsChange) {
    SKIP_WITHOUT_UNRTF();
    struct Case {
        const char* name;
        CharFormat format;
        const char* tag; // opened between the base-format line and the changed one
    };
    const CharFormat base = ReportDocument::baseFormat();
    auto with = [&](auto change) {
        CharFormat f = base;
        change(f);
        return f;
    };
    const Case cases[] = {
        {"heading", ReportDocument::headingFormat(), "<b>"},
        {"heading font", ReportDocument::headingFormat(), "<font face=\"Arial\">"},
        {"italic", with([](CharFormat& f) { f.italic = true; }), "<i>"},
        {"underline", with([](CharFormat& f) { f.underline = true; }), "<u>"},
        {"18 points", with([](CharFormat& f) { f.pointSize = 18; }), "<font size=\"5\">"},
        {"8 points", with([](CharFormat& f) { f.pointSize = 8; }), "<font size=\"1\">"},
        {"colour", with([](CharFormat& f) { f.rgb = 0x0080FF; }), "<font color=\"#0080ff\">"},
        {"other font", with([](CharFormat& f) { f.fontName = "Times New Roman"; }),
         "<font face=\"Times New Roman\">"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Paragraph> doc = {Paragraph{{TextRun{"firstline", base}}},
                                            Paragraph{{TextRun{"secondline", c.format}}}};
        const std::string html = unrtf("--html", writeRtf(doc));
        const size_t first = html.find("firstline");
        const size_t second = html.find("secondline");
        ASSERT_NE(first, std::string::npos) << html;
        ASSERT_NE(second, std::string::npos) << html;
        EXPECT_EQ(html.substr(0, first).find(c.tag), std::string::npos) << html;
        EXPECT_NE(html.substr(first, second - first).find(c.tag), std::string::npos) << html;
    }
}
