#include "ui/unUserTerms.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/Presentation.h"
#include "session/Session.h"
#include "ui/ExactCheckRun.h"
#include "ui/FormBuilder.h"
#include "ui/unRanges.h"

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
    FormBuilder controls(this);
    lblExact = controls.label("lblExact");
    btnExact = controls.dialogButton("btnExact", QString::fromUtf8(analysis::kCheckButton));
    btnRanges = controls.dialogButton("btnRanges", "Анализ чувствительности");
    connectCommand(btnExact, &QPushButton::clicked, this, m_toolkit, [this] { btnExactClick(); });
    connectCommand(btnRanges, &QPushButton::clicked, this, m_toolkit, [this] { btnRangesClick(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MemoUserTerms);
    auto* analyses = new QHBoxLayout;
    analyses->addWidget(lblExact, 1);
    analyses->addWidget(btnExact);
    analyses->addWidget(btnRanges);
    layout->addLayout(analyses);
    addCloseButtonRow(this, layout, btnClose);
    for (QWidget* w : {static_cast<QWidget*>(lblExact), static_cast<QWidget*>(btnExact),
                       static_cast<QWidget*>(btnRanges)})
        w->hide();
}

void TfrmUserTerms::showSparse(session::Session& session) {
    m_session = &session;
    m_rangesReported = false;
    lblExact->show();
    btnRanges->show();
    showExactLine();
    showLines(session.userSolutionLines());
}

void TfrmUserTerms::showExactLine() {
    const bool checked = m_session != nullptr && m_session->exactCheck().ran;
    analysis::VerdictLine line;
    if (checked) line = analysis::resultsLine(m_session->exactCheck().verification);
    lblExact->setText(QString::fromStdString(line.text));
    btnExact->setVisible(checked && line.offerCheck);
}

void TfrmUserTerms::btnExactClick() {
    if (m_session == nullptr) return;
    if (runExactCheckInWindow(m_toolkit, this, *m_session)) showExactLine();
}

void TfrmUserTerms::btnRangesClick() {
    if (m_session == nullptr) return;
    std::string why;
    if (!m_session->rangesAvailable(&why)) {
        m_toolkit.showMessage(
            QString::fromStdString("Анализ чувствительности не выполнен: " + why));
        return;
    }
    const analysis::Ranges ranges = m_session->ranges();
    if (!m_rangesReported) {
        m_session->writeRangesReport(ranges);
        m_rangesReported = true;
    }
    if (m_rangesWindow == nullptr) m_rangesWindow = new TfrmRanges(m_toolkit, this);
    m_rangesWindow->showRanges(ranges, m_session->decimalSeparator());
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
