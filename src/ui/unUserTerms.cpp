#include "ui/unUserTerms.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvado::ui {

TfrmUserTerms::TfrmUserTerms(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmUserTerms",
            .caption = QStringLiteral("  Решение исходной задачи"),
            .clientSize = QSize(560, 420)},
           parent) {
    MemoUserTerms = new QPlainTextEdit(this);
    MemoUserTerms->setObjectName(QStringLiteral("MemoUserTerms"));
    MemoUserTerms->setReadOnly(true);
    MemoUserTerms->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MemoUserTerms);
    addCloseButtonRow(this, layout, btnClose);
}

void TfrmUserTerms::showLines(const std::vector<std::string>& lines) {
    QString text;
    for (const std::string& line : lines)
        text += QString::fromStdString(line) + QLatin1Char('\n');
    MemoUserTerms->setPlainText(text);
    m_toolkit.showModal(*this);
}

QString TfrmUserTerms::text() const {
    return MemoUserTerms->toPlainText();
}

} // namespace kvado::ui
