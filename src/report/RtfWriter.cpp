#include "report/RtfWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "text/Encoding.h"

namespace kvado::report {
namespace {

// Length of the UTF-8 sequence that the lead byte announces; 0 for a byte that cannot lead.
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The code point of one valid UTF-8 sequence.
char32_t codePoint(std::string_view seq) {
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t cp = static_cast<unsigned char>(seq[0]) & kLeadMask[seq.size()];
    for (size_t k = 1; k < seq.size(); ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(seq[k]) & 0x3F);
    return cp;
}

void appendHexByte(std::string& out, unsigned char b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\'%02x", b);
    out += buf;
}

// \uN takes a signed 16-bit number; characters beyond the BMP go as a UTF-16 surrogate pair.
// The fallback for readers that skip \u is the windows-1251 byte, else "?". The "?" is written
// as \'3f too: some readers (unrtf) drop the character after a literal "?" fallback.
void appendUnicode(std::string& out, char32_t cp, std::string_view fallback) {
    auto unit = [&](char32_t u, unsigned char fallbackByte) {
        out += "\\u";
        out += std::to_string(u >= 0x8000 ? static_cast<int>(u) - 0x10000 : static_cast<int>(u));
        appendHexByte(out, fallbackByte);
    };
    if (cp > 0xFFFF) {
        const char32_t v = cp - 0x10000;
        unit(0xD800 + (v >> 10), '?');
        unit(0xDC00 + (v & 0x3FF), '?');
    } else {
        unit(cp, fallback.size() == 1 ? static_cast<unsigned char>(fallback[0]) : '?');
    }
}

// Escapes UTF-8 text for the body or the font table of the document. The report lines up its
// columns with blanks, but some readers (unrtf) fold a run of blanks into one as HTML would; a
// blank that follows a blank is therefore written as \'20, which every reader takes as a plain
// blank and none folds. `afterBlank` carries that state from one run to the next.
std::string escape(std::string_view utf8, bool& afterBlank) {
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const bool blank = lead == ' ';
        if (lead < 0x80) {
            ++i;
            switch (lead) {
            case ' ':
                out += afterBlank ? "\\'20" : " ";
                break;
            case '\\':
            case '{':
            case '}':
                out += '\\';
                out += static_cast<char>(lead);
                break;
            case '\t':
                out += "\\tab ";
                break;
            case '\n':
                out += "\\line ";
                break;
            default:
                // Other control characters have no place in a document and are left out.
                if (lead < 0x20 || lead == 0x7F) continue;
                out += static_cast<char>(lead);
                break;
            }
            afterBlank = blank;
            continue;
        }
        const size_t len = sequenceLength(lead);
        const std::string_view seq = utf8.substr(i, len);
        if (len == 0 || seq.size() < len || !text::isValidUtf8(seq)) {
            // A byte that is not part of valid UTF-8 is shown as the replacement character.
            appendUnicode(out, 0xFFFD, {});
            ++i;
            afterBlank = false;
            continue;
        }
        appendUnicode(out, codePoint(seq), text::utf8ToCp1251(seq).value_or(std::string()));
        i += len;
        afterBlank = false;
    }
    return out;
}

// Index of `value` in `list`, added at the end when new.
template <typename T> size_t indexOf(std::vector<T>& list, const T& value) {
    const auto it = std::find(list.begin(), list.end(), value);
    if (it != list.end()) return static_cast<size_t>(it - list.begin());
    list.push_back(value);
    return list.size() - 1;
}

// The picture as an RTF picture group: the PNG's bytes in hexadecimal, lines of 64 bytes, its
// size in pixels and, for the readers that lay it out by it, in twips (15 a pixel at 96 dpi).
std::string pictureGroup(const Picture& picture) {
    std::string out = "{\\pict\\pngblip\\picw" + std::to_string(picture.width) + "\\pich" +
                      std::to_string(picture.height) + "\\picwgoal" +
                      std::to_string(picture.width * 15) + "\\pichgoal" +
                      std::to_string(picture.height * 15) + "\n";
    static constexpr char kHex[] = "0123456789abcdef";
    for (size_t k = 0; k < picture.png.size(); ++k) {
        const auto b = static_cast<unsigned char>(picture.png[k]);
        out += kHex[b >> 4];
        out += kHex[b & 15];
        if (k % 64 == 63) out += '\n';
    }
    out += "}";
    return out;
}

// The page the document is laid out for: A4 with margins of 2 cm, in twips.
constexpr int kPageWidth = 11906, kPageHeight = 16838, kMargin = 1134;
constexpr int kTextWidth = kPageWidth - 2 * kMargin;
// A character of the report's fixed-pitch font is 0.6 of its size wide; 20 twips a point.
constexpr double kCharTwipsPerPoint = 0.6 * 20;
constexpr double kSmallestPoints = 5;

// How much a paragraph's runs are made smaller so that its line fits the page's width: a
// table (the sensitivity ranges, the passes) wrapped and lost its columns at its own size.
double fitScale(const Paragraph& paragraph) {
    double width = 0;
    for (const Run& run : paragraph.runs) {
        size_t chars = 0;
        for (char c : run.text)
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
        width += static_cast<double>(chars) * run.format.pointSize * kCharTwipsPerPoint;
    }
    return width > kTextWidth ? kTextWidth / width : 1.0;
}

} // namespace

std::string writeRtf(const std::vector<Paragraph>& paragraphs) {
    // The tables come first in the file but are collected from the runs.
    std::vector<std::string> fonts;
    std::vector<uint32_t> colours;
    std::string body;
    for (const Paragraph& paragraph : paragraphs) {
        body += "\\pard";
        bool afterBlank = false;
        const double scale = fitScale(paragraph);
        for (const Run& run : paragraph.runs) {
            CharFormat f = run.format;
            if (scale < 1) f.pointSize = std::max(kSmallestPoints, f.pointSize * scale);
            // \plain before every run: each run states its whole format, nothing carries over.
            body += "\\plain";
            if (!f.fontName.empty()) body += "\\f" + std::to_string(indexOf(fonts, f.fontName));
            // A line made smaller rounds down, so that it still fits.
            const double halfPoints = f.pointSize * 2;
            body += "\\fs" + std::to_string(std::max(1L, scale < 1 ? static_cast<long>(halfPoints)
                                                                   : std::lround(halfPoints)));
            if (f.bold) body += "\\b";
            if (f.italic) body += "\\i";
            if (f.underline) body += "\\ul";
            // Colour 0 of the table is the reader's automatic colour; ours start at 1.
            body += "\\cf" + std::to_string(indexOf(colours, f.rgb & 0xFFFFFFu) + 1);
            body += ' ';
            body += escape(run.text, afterBlank);
        }
        if (paragraph.picture) body += pictureGroup(*paragraph.picture);
        body += "\\par\n";
    }
    if (fonts.empty()) fonts.push_back(ReportDocument::baseFormat().fontName);

    std::string out = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1\n{\\fonttbl";
    for (size_t k = 0; k < fonts.size(); ++k) {
        // ";" ends a name in the font table, so it cannot be part of one.
        std::string name = fonts[k];
        std::erase(name, ';');
        bool afterBlank = false;
        out +=
            "{\\f" + std::to_string(k) + "\\fnil\\fcharset204 " + escape(name, afterBlank) + ";}";
    }
    out += "}\n{\\colortbl;";
    for (uint32_t rgb : colours)
        out += "\\red" + std::to_string((rgb >> 16) & 0xFF) + "\\green" +
               std::to_string((rgb >> 8) & 0xFF) + "\\blue" + std::to_string(rgb & 0xFF) + ';';
    out += "}\n";
    out += "\\paperw" + std::to_string(kPageWidth) + "\\paperh" + std::to_string(kPageHeight) +
           "\\margl" + std::to_string(kMargin) + "\\margr" + std::to_string(kMargin) + "\\margt" +
           std::to_string(kMargin) + "\\margb" + std::to_string(kMargin) + "\n";
    out += body;
    out += "}\n";
    return out;
}

} // namespace kvado::report
