#pragma once
// The report between its plain form (paragraphs of runs with character formats) and a Qt
// rich-text document: the report window shows the one in the other, and saves what the user
// made of it.

#include <QTextCharFormat>
#include <QTextDocument>
#include <vector>

#include "report/ReportDocument.h"

namespace kvado::ui {

QTextCharFormat toTextCharFormat(const report::CharFormat& format);
// The format as it shows: what the text format leaves unset is the document's default font
// and black.
report::CharFormat toCharFormat(const QTextCharFormat& format, const QFont& defaultFont);

// Appends `paragraphs` to the end of `document`, one block each, every run in its own format.
// An empty document takes the first paragraph into its one empty block. Each paragraph costs
// the same whatever the document already holds.
void appendParagraphs(QTextDocument& document, const std::vector<report::Paragraph>& paragraphs,
                      size_t from = 0);

// What the document holds: one paragraph per block, one run per fragment of text. An empty
// block keeps the format of its end as a run without text, so that a saved empty line keeps
// its height. A line break within a block (Shift+Enter) becomes "\n" in the run's text.
std::vector<report::Paragraph> paragraphsOf(const QTextDocument& document);

} // namespace kvado::ui
