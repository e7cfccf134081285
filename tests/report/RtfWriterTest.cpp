// The saved report is checked by reading it back with a real RTF reader, unrtf, rather than by
// comparing RTF texts: what matters is what a reader makes of the file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <sstream>

#include "RequiredInput.h"
#include "report/RtfWriter.h"

using namespace kvado::report;
// Inside a test body "Run" would name the test's own member function.
using TextRun = kvado::report::Run;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

const char* const kUnrtf = "/usr/bin/unrtf";

// The files of this test program, removed when it ends.
struct WorkDir {
    fs::path path = fs::temp_directory_path() / ("kvado-rtf-" + std::to_string(getpid()));
    WorkDir() { fs::create_directories(path); }
    ~WorkDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};
const fs::path& workDir() {
    static WorkDir dir;
    return dir.path;
}

// Runs unrtf with `options` on `rtf` saved to a file; returns the lines below the rule that
// ends unrtf's header.
Lines unrtf(const std::string& options, const std::string& rtf) {
    const fs::path file = workDir() / "report.rtf";
    std::ofstream(file, std::ios::binary) << rtf;
    const std::string command = std::string(kUnrtf) + " " + options + " " + file.string();
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;)
            out.append(buf, n);
        pclose(pipe);
    }
    const std::string rule = "-----------------\n";
    const size_t start = out.find(rule);
    if (start == std::string::npos) return {out};
    Lines lines;
    std::istringstream in(out.substr(start + rule.size()));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void appendUtf8(std::string& out, char32_t cp) {
    const int n = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    const unsigned lead = n == 1 ? 0 : (0xFF00u >> n) & 0xFF;
    out += static_cast<char>(lead | (cp >> (6 * (n - 1))));
    for (int k = n - 2; k >= 0; --k)
        out += static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F));
}

// unrtf's stock text output prints a character it has no entry for as the low byte of its code
// point, which is no use for Cyrillic. This reads with the stock configuration plus the entry
// that its HTML output has, printing such characters as "&#N;", and decodes those to UTF-8.
Lines unrtfUnicode(const std::string& rtf) {
    static const bool configured = [] {
        std::ifstream in("/usr/share/unrtf/text.conf", std::ios::binary);
        std::ostringstream conf;
        conf << in.rdbuf() << "unisymbol_print\n\t&#%;\n";
        std::ofstream(workDir() / "text.conf", std::ios::binary) << conf.str();
        return in.good();
    }();
    if (!configured) return {"(no /usr/share/unrtf/text.conf)"};
    Lines lines = unrtf("-P " + workDir().string() + "/ --text", rtf);
    for (std::string& line : lines) {
        std::string out;
        char32_t high = 0; // the first half of a UTF-16 surrogate pair
        for (size_t i = 0, end; i < line.size();) {
            if (line.compare(i, 2, "&#") != 0 || (end = line.find(';', i)) == std::string::npos) {
                out += line[i++];
                continue;
            }
            char32_t cp = static_cast<char32_t>(std::stoul(line.substr(i + 2, end - i - 2)));
            i = end + 1;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                high = cp;
                continue;
            }
            if (high) cp = 0x10000 + ((high - 0xD800) << 10) + (cp - 0xDC00);
            high = 0;
            appendUtf8(out, cp);
        }
        line = out;
    }
    return lines;
}

// A report-like document: lines starting with "#" are headings, written without the "#".
std::vector<Paragraph> document(const Lines& lines) {
    ReportDocument doc;
    for (const std::string& line : lines) {
        if (line.starts_with('#')) doc.setCurrentFormat(ReportDocument::headingFormat());
        doc.append(line.starts_with('#') ? line.substr(1) : line);
    }
    return doc.paragraphs();
}

Lines withoutMarks(Lines lines) {
    for (std::string& line : lines)
        if (line.starts_with('#')) line.erase(0, 1);
    return lines;
}

#define SKIP_WITHOUT_UNRTF() KVADO_REQUIRE_INPUT(fs::exists(kUnrtf), kUnrtf)

struct TextCase {
    const char* name;
    Lines lines;
};

// Texts that are plain ASCII: even the stock text output must give them back byte for byte.
const TextCase kAsciiCases[] = {
    {"plan and shadow-price lines",
     {"X[  1] (                     x1 ) =    4.000",
      "Pi[ 12] (                              abc ) =    1.000"}},
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

TEST(RtfWriter, UnrtfTextGivesBackAsciiTextExactly) {
    SKIP_WITHOUT_UNRTF();
    for (const TextCase& c : kAsciiCases)
        EXPECT_EQ(unrtf("--text", writeRtf(document(c.lines))), withoutMarks(c.lines)) << c.name;
}

TEST(RtfWriter, UnrtfTextGivesBackEveryCharacterExactly) {
    SKIP_WITHOUT_UNRTF();
    for (const auto& cases :
         {std::span<const TextCase>(kAsciiCases), std::span<const TextCase>(kUnicodeCases)})
        for (const TextCase& c : cases)
            EXPECT_EQ(unrtfUnicode(writeRtf(document(c.lines))), withoutMarks(c.lines)) << c.name;
    // Blanks on either side of a format change must not fold into one either.
    const CharFormat heading = ReportDocument::headingFormat(), base = ReportDocument::baseFormat();
    const std::vector<Paragraph> runs = {
        Paragraph{{TextRun{"Жирный ", heading}, TextRun{" обычный", base}, TextRun{"", heading},
                   TextRun{"  ", base}, TextRun{"}", heading}}},
        Paragraph{}};
    EXPECT_EQ(unrtfUnicode(writeRtf(runs)), (Lines{"Жирный  обычный  }", ""}));
    // Bytes that are not UTF-8 come out as replacement characters.
    EXPECT_EQ(unrtfUnicode(writeRtf(document({"a\xff"
                                              "b",
                                              "\xd0 c\xe2\x82"}))),
              (Lines{"a\uFFFDb", "\uFFFD c\uFFFD\uFFFD"}));
}

// A reader that skips \u reads the fallback byte through windows-1251. unrtf's stock text output
// is such a reader; it then prints the low byte of the code point it decoded.
TEST(RtfWriter, FallbackBytesAreWindows1251) {
    SKIP_WITHOUT_UNRTF();
    EXPECT_EQ(unrtf("--text", writeRtf(document({"РЕШЕНИЕ ёЁ € № Ω中"}))),
              Lines{"\x20\x15\x28\x15\x1d\x18\x15 \x51\x01 \xac \x16 ??"});
}

TEST(RtfWriter, UnrtfHtmlShowsWhereFormatsChange) {
    SKIP_WITHOUT_UNRTF();
    const CharFormat base = ReportDocument::baseFormat();
    auto with = [&](auto change) {
        CharFormat f = base;
        change(f);
        return f;
    };
    // The tag must open between a line in the base format and a line in the changed one.
    const std::tuple<const char*, CharFormat> cases[] = {
        {"<b>", ReportDocument::headingFormat()},
        {"<font face=\"Arial\">", ReportDocument::headingFormat()},
        {"<i>", with([](CharFormat& f) { f.italic = true; })},
        {"<u>", with([](CharFormat& f) { f.underline = true; })},
        {"<font size=\"5\">", with([](CharFormat& f) { f.pointSize = 18; })},
        {"<font size=\"1\">", with([](CharFormat& f) { f.pointSize = 8; })},
        {"<font color=\"#0080ff\">", with([](CharFormat& f) { f.rgb = 0x0080FF; })},
        {"<font face=\"Times New Roman\">",
         with([](CharFormat& f) { f.fontName = "Times New Roman"; })},
    };
    for (const auto& [tag, format] : cases) {
        const std::vector<Paragraph> doc = {Paragraph{{TextRun{"firstline", base}}},
                                            Paragraph{{TextRun{"secondline", format}}}};
        std::string html;
        for (const std::string& line : unrtf("--html", writeRtf(doc)))
            html += line + "\n"; // no rule in HTML output: all of it
        const size_t first = html.find("firstline"), second = html.find("secondline");
        ASSERT_LT(first, second) << html;
        EXPECT_EQ(html.substr(0, first).find(tag), std::string::npos) << tag << html;
        EXPECT_NE(html.substr(first, second - first).find(tag), std::string::npos) << tag << html;
    }
}

// A picture goes into the file as the PNG's bytes, which a reader takes out unchanged, in its
// place between the paragraphs around it.
TEST(RtfWriter, UnrtfTakesOutThePictureUnchanged) {
    SKIP_WITHOUT_UNRTF();
    std::string png = "\x89PNG\r\n\x1a\n";
    for (int k = 0; k < 300; ++k)
        png += static_cast<char>(k * 7);
    ReportDocument doc;
    doc.append("before the picture");
    doc.appendPicture({png, 40, 30});
    doc.append("after it");
    const fs::path dir = workDir() / "picture";
    fs::create_directories(dir);
    std::ofstream(dir / "report.rtf", std::ios::binary) << writeRtf(doc.paragraphs());
    const std::string command =
        "cd " + dir.string() + " && " + kUnrtf + " --html report.rtf > report.html";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream picture(dir / "pict001.png", std::ios::binary);
    ASSERT_TRUE(picture.good());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(picture), {}), png);
    std::ifstream html(dir / "report.html", std::ios::binary);
    const std::string page(std::istreambuf_iterator<char>(html), {});
    EXPECT_NE(page.find("picture dimensions are 40 by 30"), std::string::npos);
    const size_t image = page.find("<img src=\"pict001.png\">");
    ASSERT_NE(image, std::string::npos);
    EXPECT_LT(page.find("before the picture"), image);
    EXPECT_GT(page.find("after it"), image);
    // Nothing of the picture is read as text (unrtf notes the picture on lines of its own).
    const Lines text = unrtf("--nopict --text", writeRtf(doc.paragraphs()));
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.front(), "before the picture");
    EXPECT_EQ(text.back(), "after it");
    for (const std::string& line : text)
        EXPECT_EQ(line.find("89504e47"), std::string::npos) << line;
}

// A wide table's line is made smaller until it fits an A4 page between margins of 2 cm (9638
// twips; a Courier character is 0.6 of its size): it used to wrap and lose its columns.
TEST(RtfWriter, WideLinesFitAnA4Page) {
    struct Case {
        size_t chars;
        double points;
        const char* size;
    };
    const Case cases[] = {{60, 12, "\\fs24\\cf"},
                          {120, 12, "\\fs13\\cf"},
                          {80, 10, "\\fs20\\cf"},
                          {400, 12, "\\fs10\\cf"}};
    for (const Case& c : cases) {
        Paragraph p;
        p.runs.push_back({std::string(c.chars, 'x'), {"Courier New", c.points}});
        const std::string rtf = writeRtf({p});
        EXPECT_NE(rtf.find("\\paperw11906\\paperh16838\\margl1134\\margr1134"), std::string::npos);
        EXPECT_NE(rtf.find(c.size), std::string::npos) << c.chars << " characters:\n" << rtf;
    }
}
