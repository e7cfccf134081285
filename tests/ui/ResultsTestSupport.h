#pragma once
// What the tests of the results and report windows read off them: the cells a grid shows, the
// lines and formats RE1 holds, and an RTF file as a reader gives it back.

#include <QFile>
#include <QProcess>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>

#include "UiTestSupport.h"
#include "ui/StringGrid.h"

namespace kvado::ui::test {

// A row of the grid as the view shows it, from column 0.
inline QStringList shownRow(const StringGrid* grid, int row) {
    const QAbstractItemModel* m = grid->model();
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c)
        cells << m->data(m->index(row, c), Qt::DisplayRole).toString();
    return cells;
}

// The paragraphs of RE1.
inline QStringList shownLines(const QTextEdit* edit) {
    QStringList lines;
    for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

// The lines the method's solve and its check wrote: up to the blank line before the exact
// check's section, which the window tests of the exact check look at by themselves.
inline QStringList methodLines(const QStringList& lines) {
    const qsizetype section = lines.indexOf(QString::fromUtf8("Точная проверка"));
    return section < 1 ? lines : lines.mid(0, section - 1);
}

// How a line of RE1 looks: its font and weight, or "mixed" when its fragments differ. An
// empty line is described by its block's format.
inline QString lineLook(const QTextBlock& block) {
    auto look = [&](const QTextCharFormat& f) {
        const QFont font = f.font().resolve(block.document()->defaultFont());
        return font.families().value(0, font.family()) + QLatin1Char(' ') +
               QString::number(font.pointSizeF()) + (font.bold() ? QStringLiteral(" bold") : "");
    };
    QString result;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QString l = look(it.fragment().charFormat());
        if (!result.isEmpty() && result != l) return QStringLiteral("mixed");
        result = l;
    }
    return result.isEmpty() ? look(block.charFormat()) : result;
}

inline QStringList lineLooks(const QTextEdit* edit) {
    QStringList looks;
    for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next())
        looks << lineLook(b);
    return looks;
}

inline const char* const kUnrtf = "/usr/bin/unrtf";

// The HTML that unrtf makes of an RTF file, with its numeric character references ("&#1056;",
// as it writes every character outside ASCII) turned into the characters.
inline QString unrtfHtml(const QString& rtfPath) {
    QProcess unrtf;
    unrtf.start(QString::fromLatin1(kUnrtf), {QStringLiteral("--html"), rtfPath});
    unrtf.waitForFinished(30000);
    const QString html = QString::fromUtf8(unrtf.readAllStandardOutput());
    QString out;
    for (qsizetype i = 0; i < html.size();) {
        const qsizetype end = html.indexOf(QLatin1Char(';'), i);
        if (html.mid(i, 2) == QStringLiteral("&#") && end > i + 2) {
            bool ok = false;
            const uint cp = html.mid(i + 2, end - i - 2).toUInt(&ok);
            if (ok) {
                const char32_t c = cp;
                out += QString::fromUcs4(&c, 1);
                i = end + 1;
                continue;
            }
        }
        out += html[i++];
    }
    return out;
}

} // namespace kvado::ui::test
