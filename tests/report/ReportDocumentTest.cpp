#include <gtest/gtest.h>

#include "report/ReportDocument.h"

using namespace kvado::report;

namespace {

CharFormat colourFormat(uint32_t rgb) {
    CharFormat f = ReportDocument::baseFormat();
    f.rgb = rgb;
    return f;
}

std::vector<CharFormat> formatsOf(const ReportDocument& doc) {
    std::vector<CharFormat> out;
    for (const Paragraph& p : doc.paragraphs()) {
        EXPECT_EQ(p.runs.size(), 1u);
        out.push_back(p.runs.at(0).format);
    }
    return out;
}

} // namespace

TEST(ReportDocument, CurrentFormatCoversOnlyTheNextParagraph) {
    const CharFormat base = ReportDocument::baseFormat();
    const CharFormat heading = ReportDocument::headingFormat();
    ReportDocument doc;
    doc.setDefaultFormat(base);
    doc.setCurrentFormat(heading);
    doc.append("     РЕШЕНИЕ");
    doc.append("Файл данных: ");
    doc.append(" ");
    doc.setCurrentFormat(heading);
    doc.append("   Оптимальный план");
    doc.append(" ");
    EXPECT_EQ(formatsOf(doc), (std::vector<CharFormat>{heading, base, base, heading, base}));
    EXPECT_EQ(doc.lines(), (std::vector<std::string>{"     РЕШЕНИЕ", "Файл данных: ", " ",
                                                     "   Оптимальный план", " "}));
}

TEST(ReportDocument, DefaultFormatOutlivesClearButAnUnusedCurrentFormatDoesNot) {
    ReportDocument doc;
    doc.append("a");
    doc.setDefaultFormat(colourFormat(0xFF0000));
    doc.append("b");
    EXPECT_EQ(formatsOf(doc),
              (std::vector<CharFormat>{ReportDocument::baseFormat(), colourFormat(0xFF0000)}));
    doc.setCurrentFormat(ReportDocument::headingFormat());
    doc.clear();
    EXPECT_TRUE(doc.empty());
    doc.append("new");
    EXPECT_EQ(formatsOf(doc), std::vector<CharFormat>{colourFormat(0xFF0000)});
}

TEST(ReportDocument, AppendSplitsLinesIntoParagraphsOfOneFormat) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {""}},       {" ", {" "}},       {"a\nb", {"a", "b"}}, {"a\r\nb\r\n", {"a", "b", ""}},
        {"\n", {"", ""}}, {"x\ry", {"x\ry"}}, // a lone CR is not a line end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ReportDocument doc;
        doc.setCurrentFormat(ReportDocument::headingFormat());
        doc.append(c.text);
        doc.append("after");
        std::vector<std::string> expected = c.lines;
        expected.push_back("after");
        EXPECT_EQ(doc.lines(), expected);
        const auto formats = formatsOf(doc);
        for (size_t k = 0; k + 1 < formats.size(); ++k)
            EXPECT_EQ(formats[k], ReportDocument::headingFormat()) << k;
        EXPECT_EQ(formats.back(), ReportDocument::baseFormat());
    }
}
