// The report shown in a Qt text document and read back from it, as the report window saves it.

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/RichTextReport.h"

namespace kvado::report {
inline void PrintTo(const CharFormat& f, std::ostream* os) {
    *os << '{' << f.fontName << ' ' << f.pointSize << "pt" << (f.bold ? " b" : "")
        << (f.italic ? " i" : "") << (f.underline ? " u" : "") << " #" << std::hex << f.rgb
        << std::dec << '}';
}
inline void PrintTo(const Run& r, std::ostream* os) {
    *os << '"' << r.text << "\" ";
    PrintTo(r.format, os);
}
inline bool operator==(const Run& a, const Run& b) {
    return a.text == b.text && a.format == b.format;
}
inline void PrintTo(const Paragraph& p, std::ostream* os) {
    *os << '[';
    for (const Run& r : p.runs) {
        PrintTo(r, os);
        *os << "; ";
    }
    *os << ']';
}
inline bool operator==(const Paragraph& a, const Paragraph& b) {
    return a.runs == b.runs;
}
} // namespace kvado::report

namespace kvado::ui::test {
namespace {

using report::CharFormat;
using report::Paragraph;
using report::ReportDocument;
using Paragraphs = std::vector<Paragraph>;
// Inside a test body "Run" would name the test's own member function.
using TextRun = report::Run;

CharFormat base() {
    return ReportDocument::baseFormat();
}
CharFormat heading() {
    return ReportDocument::headingFormat();
}
template <class F> CharFormat with(CharFormat f, F change) {
    change(f);
    return f;
}

Paragraph para(std::vector<TextRun> runs) {
    return Paragraph{std::move(runs)};
}

// A document whose unset formats are the report's body, as RE1's is.
std::unique_ptr<QTextDocument> reportDocument() {
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("Courier New"), 12));
    return doc;
}

struct RoundTripCase {
    const char* name;
    Paragraphs paragraphs;
};

TEST(RichTextReport, EveryFormatComesBackAsShown) {
    const RoundTripCase cases[] = {
        {"report lines",
         {para({{"     РЕШЕНИЕ", heading()}}),
          para({{"Файл данных: zad1.dat  01.02.2024", base()}}), para({{" ", base()}}),
          para({{"   Оптимальный план", heading()}})}},
        {"every attribute by itself",
         {para({{"italic", with(base(), [](CharFormat& f) { f.italic = true; })}}),
          para({{"underline", with(base(), [](CharFormat& f) { f.underline = true; })}}),
          para({{"red", with(base(), [](CharFormat& f) { f.rgb = 0xFF0000; })}}),
          para({{"blue-green", with(base(), [](CharFormat& f) { f.rgb = 0x0080FF; })}}),
          para({{"large", with(base(), [](CharFormat& f) { f.pointSize = 20; })}}),
          para({{"half", with(base(), [](CharFormat& f) { f.pointSize = 10.5; })}}),
          para({{"Times", with(base(), [](CharFormat& f) { f.fontName = "Times New Roman"; })}})}},
        {"several runs in one paragraph",
         {para({{"Pi[  1] ", base()},
                {"bold", heading()},
                {" and ", base()},
                {"все вместе", with(heading(),
                                    [](CharFormat& f) {
                                        f.italic = f.underline = true;
                                        f.rgb = 0x123456;
                                    })}})}},
        {"empty lines keep their format",
         {para({{"", heading()}}), para({{"", base()}}), para({{"after", base()}}),
          para({{"", with(base(), [](CharFormat& f) { f.pointSize = 30; })}})}},
        {"line break within a paragraph", {para({{"first\nsecond", base()}})}},
        {"braces, blanks, tabs", {para({{"{x}  \\y\t z ", base()}})}},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = reportDocument();
        appendParagraphs(*doc, c.paragraphs);
        EXPECT_EQ(doc->blockCount(), static_cast<int>(c.paragraphs.size()));
        EXPECT_EQ(paragraphsOf(*doc), c.paragraphs);
    }
}

TEST(RichTextReport, ParagraphsWithoutTextComeBackAsOneEmptyRun) {
    auto doc = reportDocument();
    appendParagraphs(*doc,
                     {Paragraph{}, para({{"", heading()}, {"", base()}}), para({{"x", base()}})});
    EXPECT_EQ(paragraphsOf(*doc),
              (Paragraphs{para({{"", base()}}), para({{"", heading()}}), para({{"x", base()}})}));
}

TEST(RichTextReport, AppendingInPiecesIsAppendingAtOnce) {
    // The first paragraph is an empty line: the pieces after it must not run into it.
    const Paragraphs all = {para({{"", heading()}}), para({{"one", base()}}),
                            para({{"two", heading()}}), para({{"", base()}}),
                            para({{"three", base()}})};
    for (size_t cut : {0u, 1u, 2u, 4u, 5u}) {
        SCOPED_TRACE(cut);
        auto doc = reportDocument();
        const Paragraphs first(all.begin(), all.begin() + static_cast<long>(cut));
        appendParagraphs(*doc, first);
        appendParagraphs(*doc, all, cut);
        EXPECT_EQ(paragraphsOf(*doc), all);
    }
}

TEST(RichTextReport, UnsetFormatsAreTheDocumentsDefaultAndBlack) {
    auto doc = reportDocument();
    QTextCursor(doc.get()).insertText(QStringLiteral("typed"));
    EXPECT_EQ(paragraphsOf(*doc), (Paragraphs{para({{"typed", base()}})}));

    // A font given in pixels is saved in points at 96 dots per inch.
    QTextDocument pixels;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    pixels.setDefaultFont(font);
    QTextCursor(&pixels).insertText(QStringLiteral("p"));
    EXPECT_EQ(
        paragraphsOf(pixels),
        (Paragraphs{para({{"p", with(base(), [](CharFormat& f) { f.fontName = "Arial"; })}})}));
}

TEST(RichTextReport, PicturesAreLeftOut) {
    auto doc = reportDocument();
    QTextCursor cursor(doc.get());
    cursor.insertText(QStringLiteral("a"));
    cursor.insertImage(QStringLiteral("nothing.png"));
    cursor.insertText(QStringLiteral("b"));
    EXPECT_EQ(paragraphsOf(*doc), (Paragraphs{para({{"ab", base()}})}));
}

} // namespace
} // namespace kvado::ui::test
