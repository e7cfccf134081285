#include "ui/unGomory.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/PlaneGeometry.h"
#include "analysis/Ranging.h"
#include "ui/FormBuilder.h"
#include "ui/unGraph.h"

namespace kvado::ui {

GraphContents gomoryGraph(const session::GomoryRun& run, const Names& names, char sep) {
    GraphContents c;
    const LpProblem& first = run.rounds.front().problem;
    c.problem = analysis::planeProblemOf(first, {});
    c.solution = analysis::solvePlane(c.problem);
    c.x1Name = analysis::columnName(names.columns, 1);
    c.x2Name = analysis::columnName(names.columns, 2);
    c.decimalSeparator = sep;
    c.integerPoints = true;
    int k = 0;
    for (const session::GomoryRound& r : run.rounds)
        if (r.cut && r.cut->g.size() == 2)
            c.addedLines.push_back(
                {r.cut->g[0], r.cut->g[1], r.cut->h, "отсечение " + std::to_string(++k)});
    if (run.end == session::GomoryRun::End::Integral && run.rounds.back().x.size() == 3)
        c.integerOptimum = analysis::PlanePoint{run.rounds.back().x[1], run.rounds.back().x[2]};
    return c;
}

TfrmGomory::TfrmGomory(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmGomory",
            .caption = QStringLiteral("  Отсечения Гомори"),
            .clientSize = QSize(720, 480)},
           parent) {
    FormBuilder controls(this);
    auto* layout = new QVBoxLayout(this);
    MemoCuts = new QPlainTextEdit(this);
    MemoCuts->setObjectName(QStringLiteral("MemoCuts"));
    MemoCuts->setReadOnly(true);
    MemoCuts->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(MemoCuts, 1);
    auto* buttons = new QHBoxLayout;
    btnGraph = controls.dialogButton("btnGraph", "Графический метод");
    btnReport = controls.dialogButton("btnReport", "В отчет");
    btnClose = controls.dialogButton("btnClose", "Закрыть");
    btnClose->setDefault(true);
    buttons->addWidget(btnGraph);
    buttons->addWidget(btnReport);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    connectCommand(btnGraph, &QPushButton::clicked, this, m_toolkit, [this] { btnGraphClick(); });
    connectCommand(btnReport, &QPushButton::clicked, this, m_toolkit, [this] { btnReportClick(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmGomory::setRun(session::GomoryRun run, Names names, char sep) {
    m_run = std::move(run);
    m_names = std::move(names);
    m_separator = sep;
    m_lines = session::gomoryLines(m_run, m_names, sep);
    QString text;
    for (const std::string& line : m_lines)
        text += QString::fromStdString(line) + QLatin1Char('\n');
    MemoCuts->setPlainText(text);
    btnGraph->setEnabled(!m_run.rounds.empty() && m_run.rounds.front().problem.N == 2);
    btnReport->setEnabled(static_cast<bool>(m_toReport));
}

void TfrmGomory::showRun(session::GomoryRun run, Names names, char sep) {
    setRun(std::move(run), std::move(names), sep);
    m_toolkit.showModal(*this);
}

QString TfrmGomory::text() const {
    return MemoCuts->toPlainText();
}

void TfrmGomory::btnGraphClick() {
    if (m_run.rounds.empty() || m_run.rounds.front().problem.N != 2) return;
    if (m_graph == nullptr) m_graph = new TfrmGraph(m_toolkit, this);
    m_graph->showContents(gomoryGraph(m_run, m_names, m_separator));
}

void TfrmGomory::btnReportClick() {
    if (!m_toReport) return;
    m_toReport(m_lines);
    btnReport->setEnabled(false);
}

} // namespace kvado::ui
