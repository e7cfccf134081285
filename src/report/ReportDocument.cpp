#include "report/ReportDocument.h"

namespace kvado::report {

std::string Paragraph::text() const {
    std::string out;
    for (const Run& run : runs)
        out += run.text;
    return out;
}

void ReportDocument::clear() {
    m_paragraphs.clear();
    m_current.reset();
}

void ReportDocument::setDefaultFormat(const CharFormat& format) {
    m_default = format;
}

void ReportDocument::setCurrentFormat(const CharFormat& format) {
    m_current = format;
}

void ReportDocument::append(std::string_view utf8) {
    // A heading set before a text of several lines covers all of them: they were one append.
    const CharFormat format = m_current.value_or(m_default);
    m_current.reset();
    size_t start = 0;
    while (true) {
        const size_t end = utf8.find('\n', start);
        std::string_view line =
            utf8.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        m_paragraphs.push_back(Paragraph{{Run{std::string(line), format}}});
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

void ReportDocument::appendPicture(Picture picture) {
    m_paragraphs.push_back(Paragraph{{Run{std::string(), m_default}}, std::move(picture)});
}

std::vector<std::string> ReportDocument::lines() const {
    std::vector<std::string> out;
    out.reserve(m_paragraphs.size());
    for (const Paragraph& p : m_paragraphs)
        out.push_back(p.text());
    return out;
}

CharFormat ReportDocument::baseFormat() {
    CharFormat f;
    f.fontName = "Courier New";
    f.pointSize = 12;
    f.rgb = 0x000000;
    return f;
}

CharFormat ReportDocument::headingFormat() {
    CharFormat f;
    f.fontName = "Arial";
    f.pointSize = 12;
    f.bold = true;
    f.rgb = 0x000000;
    return f;
}

} // namespace kvado::report
