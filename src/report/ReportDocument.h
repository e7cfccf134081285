#pragma once
// The report as plain data: the paragraphs the report writers append, each with the
// character format it was written in. The report window shows it and the RTF writer saves
// it; neither needs to know how the writers chose the formats.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvado::report {

struct CharFormat {
    std::string fontName;
    double pointSize = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    uint32_t rgb = 0; // 0xRRGGBB

    bool operator==(const CharFormat&) const = default;
};

struct Run {
    std::string text; // UTF-8
    CharFormat format;
};

// A picture in the report: a PNG file's bytes and the size it is shown at, in pixels of 96
// per inch.
struct Picture {
    std::string png;
    int width = 0, height = 0;
};

struct Paragraph {
    std::vector<Run> runs;
    // A paragraph holding a picture; its runs then hold no text.
    std::optional<Picture> picture = std::nullopt;

    std::string text() const;
};

class ReportDocument {
public:
    // Empties the document and forgets a current format not yet used; the default format
    // stays, as in a rich-text control whose text is cleared.
    void clear();
    // The format of every paragraph appended from now on that has no current format of its
    // own. Paragraphs already in the document keep theirs.
    void setDefaultFormat(const CharFormat& format);
    // The format of the next appended paragraph only; after it the default applies again.
    void setCurrentFormat(const CharFormat& format);
    // Appends one paragraph per line of `utf8` ("\n" or "\r\n" separate lines); an empty
    // text appends one empty paragraph.
    void append(std::string_view utf8);
    // Appends a paragraph holding the picture alone, in the default format.
    void appendPicture(Picture picture);

    const std::vector<Paragraph>& paragraphs() const { return m_paragraphs; }
    std::vector<std::string> lines() const;
    bool empty() const { return m_paragraphs.empty(); }

    // Black, 12 points, "Courier New", regular: the body of the report.
    static CharFormat baseFormat();
    // Bold, 12 points, "Arial", black: the four heading lines.
    static CharFormat headingFormat();

private:
    std::vector<Paragraph> m_paragraphs;
    CharFormat m_default = baseFormat();
    std::optional<CharFormat> m_current;
};

} // namespace kvado::report
