#include "ui/RichTextReport.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QUrl>
#include <optional>

namespace kvado::ui {

namespace {

// A line break inside a paragraph: Qt keeps it in the block as U+2028, the report's runs as
// "\n" (which the RTF writer saves as a line break).
constexpr char16_t kLineSeparator = u'\u2028';
// Stands for an image or another object in the text; the report has no place for it.
constexpr char16_t kObjectReplacement = u'\uFFFC';

QString shownText(const std::string& utf8) {
    QString text = QString::fromStdString(utf8);
    text.replace(QLatin1Char('\n'), QChar(kLineSeparator));
    return text;
}

std::string runText(QString text) {
    text.remove(QChar(kObjectReplacement));
    text.replace(QChar(kLineSeparator), QLatin1Char('\n'));
    return text.toStdString();
}

QTextCharFormat blockFormatOf(const report::Paragraph& paragraph) {
    return toTextCharFormat(paragraph.runs.empty() ? report::ReportDocument::baseFormat()
                                                   : paragraph.runs.front().format);
}

// A picture goes into the document as an image resource of its own name, shown at its size.
void insertPicture(QTextDocument& document, QTextCursor& cursor, const report::Picture& picture) {
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(picture.png.data()),
                            static_cast<int>(picture.png.size()), "PNG"))
        return;
    const QString name = QStringLiteral("kvado-picture-%1").arg(cursor.position());
    document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(picture.width);
    format.setHeight(picture.height);
    cursor.insertImage(format);
}

// The picture an image fragment shows, as PNG again (PNG loses nothing on the way).
std::optional<report::Picture> pictureOf(const QTextDocument& document,
                                         const QTextImageFormat& format) {
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    const QImage image = resource.value<QImage>();
    if (image.isNull()) return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const int width = format.width() > 0 ? static_cast<int>(format.width()) : image.width();
    const int height = format.height() > 0 ? static_cast<int>(format.height()) : image.height();
    return report::Picture{std::string(bytes.constData(), static_cast<size_t>(bytes.size())), width,
                           height};
}

} // namespace

QTextCharFormat toTextCharFormat(const report::CharFormat& format) {
    QTextCharFormat f;
    if (!format.fontName.empty())
        f.setFontFamilies(QStringList{QString::fromStdString(format.fontName)});
    f.setFontPointSize(format.pointSize);
    f.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(format.italic);
    f.setFontUnderline(format.underline);
    f.setForeground(QColor::fromRgb(format.rgb & 0xFFFFFFu));
    return f;
}

report::CharFormat toCharFormat(const QTextCharFormat& format, const QFont& defaultFont) {
    const QFont font = format.font().resolve(defaultFont);
    report::CharFormat f;
    const QStringList families = font.families();
    f.fontName = (families.isEmpty() ? font.family() : families.first()).toStdString();
    if (font.pointSizeF() > 0)
        f.pointSize = font.pointSizeF();
    else if (font.pixelSize() > 0)
        f.pointSize = font.pixelSize() * 72.0 / 96.0; // the desktop's usual 96 dots per inch
    f.bold = font.bold();
    f.italic = font.italic();
    f.underline = font.underline() || format.underlineStyle() != QTextCharFormat::NoUnderline;
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
        f.rgb = format.foreground().color().rgb() & 0xFFFFFFu;
    return f;
}

void appendParagraphs(QTextDocument& document, const std::vector<report::Paragraph>& paragraphs,
                      size_t from) {
    if (from >= paragraphs.size()) return;
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    // One edit: the document lays itself out once, not after every paragraph.
    cursor.beginEditBlock();
    bool intoEmptyBlock = from == 0 && document.isEmpty();
    for (size_t k = from; k < paragraphs.size(); ++k) {
        const report::Paragraph& paragraph = paragraphs[k];
        if (intoEmptyBlock) {
            cursor.setBlockCharFormat(blockFormatOf(paragraph));
            intoEmptyBlock = false;
        } else {
            cursor.insertBlock(QTextBlockFormat(), blockFormatOf(paragraph));
        }
        for (const report::Run& run : paragraph.runs)
            if (!run.text.empty())
                cursor.insertText(shownText(run.text), toTextCharFormat(run.format));
        if (paragraph.picture) insertPicture(document, cursor, *paragraph.picture);
    }
    cursor.endEditBlock();
}

std::vector<report::Paragraph> paragraphsOf(const QTextDocument& document) {
    const QFont defaultFont = document.defaultFont();
    std::vector<report::Paragraph> paragraphs;
    paragraphs.reserve(static_cast<size_t>(document.blockCount()));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        report::Paragraph paragraph;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            if (fragment.charFormat().isImageFormat() && !paragraph.picture)
                paragraph.picture = pictureOf(document, fragment.charFormat().toImageFormat());
            std::string text = runText(fragment.text());
            if (text.empty()) continue;
            report::CharFormat format = toCharFormat(fragment.charFormat(), defaultFont);
            // Qt may split text of one format into several fragments.
            if (!paragraph.runs.empty() && paragraph.runs.back().format == format)
                paragraph.runs.back().text += text;
            else
                paragraph.runs.push_back({std::move(text), std::move(format)});
        }
        if (paragraph.runs.empty())
            paragraph.runs.push_back(
                {std::string(), toCharFormat(block.charFormat(), defaultFont)});
        paragraphs.push_back(std::move(paragraph));
    }
    return paragraphs;
}

} // namespace kvado::ui
