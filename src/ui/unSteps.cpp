#include "ui/unSteps.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/FileIo.h"
#include "report/RtfWriter.h"
#include "report/StepsReport.h"
#include "ui/FormBuilder.h"

namespace kvado::ui {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TfrmSteps::TfrmSteps(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmSteps",
            .caption = QStringLiteral("  Пошаговое решение"),
            .clientSize = QSize(1000, 600)},
           parent) {
    FormBuilder controls(this);
    auto button = [&](const char* name, const char* text, void (TfrmSteps::*handler)()) {
        QPushButton* b = controls.button(name, text);
        connectCommand(b, &QPushButton::clicked, this, m_toolkit,
                       [this, handler] { (this->*handler)(); });
        return b;
    };
    lblNote = controls.label("lblNote");
    lblNote->setVisible(false);
    lblNote->setStyleSheet(QStringLiteral("color: #c00000"));
    lstPasses = new QListWidget(this);
    lstPasses->setObjectName(QStringLiteral("lstPasses"));
    lblTitle = controls.label("lblTitle");
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    lblLines = controls.label("lblLines");
    lblLines->setWordWrap(true);
    tblTableau = new QTableWidget(this);
    tblTableau->setObjectName(QStringLiteral("tblTableau"));
    tblTableau->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblTableau->verticalHeader()->setVisible(false);
    tblTableau->horizontalHeader()->setVisible(false);
    tblTableau->verticalHeader()->setDefaultSectionSize(22);
    btnFirst = button("btnFirst", "<< Первый", &TfrmSteps::btnFirstClick);
    btnPrev = button("btnPrev", "< Предыдущий", &TfrmSteps::btnPrevClick);
    btnNext = button("btnNext", "Следующий >", &TfrmSteps::btnNextClick);
    btnLast = button("btnLast", "Последний >>", &TfrmSteps::btnLastClick);
    btnSave = button("btnSave", "Сохранить в RTF...", &TfrmSteps::btnSaveClick);
    connect(lstPasses, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != m_current) showPass(row);
    });

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(lblTitle);
    rightLayout->addWidget(lblLines);
    rightLayout->addWidget(tblTableau, 1);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(lstPasses);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({280, 720});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNote);
    layout->addWidget(splitter, 1);
    auto* steps = new QHBoxLayout;
    for (QPushButton* b : {btnFirst, btnPrev, btnNext, btnLast})
        steps->addWidget(b);
    steps->addStretch();
    steps->addWidget(btnSave);
    layout->addLayout(steps);
    addCloseButtonRow(this, layout, btnClose);
}

void TfrmSteps::setSteps(const LpProblem& problem, const StepRecorder& steps,
                         const StepNames& names, char decimalSeparator) {
    m_problem = &problem;
    m_steps = &steps;
    m_names.emplace(names);
    m_separator = decimalSeparator;
    const std::string note = report::recordingNote(steps);
    lblNote->setText(qs(note));
    lblNote->setVisible(!note.empty());
    m_current = -1;
    {
        const QSignalBlocker quiet(lstPasses);
        lstPasses->clear();
        for (size_t k = 0; k < steps.passes().size(); ++k) {
            const QString title = qs(report::passTitle(steps, *m_names, k));
            lstPasses->addItem(title);
            lstPasses->item(static_cast<int>(k))->setToolTip(title);
        }
    }
    showPass(0);
    // The arrow keys step through the passes.
    lstPasses->setFocus();
}

void TfrmSteps::showSteps(const LpProblem& problem, const StepRecorder& steps,
                          const StepNames& names, char decimalSeparator) {
    setSteps(problem, steps, names, decimalSeparator);
    m_toolkit.showModal(*this);
}

void TfrmSteps::btnLastClick() {
    if (m_steps) showPass(static_cast<int>(m_steps->passes().size()) - 1);
}

void TfrmSteps::showPass(int k) {
    const int count = m_steps ? static_cast<int>(m_steps->passes().size()) : 0;
    if (count == 0) {
        lblTitle->setText(QStringLiteral("Нет записанных планов"));
        lblLines->clear();
        tblTableau->clear();
        tblTableau->setRowCount(0);
        tblTableau->setColumnCount(0);
        for (QPushButton* b : {btnFirst, btnPrev, btnNext, btnLast, btnSave})
            b->setEnabled(false);
        return;
    }
    k = std::clamp(k, 0, count - 1);
    m_current = k;
    const auto pass = static_cast<size_t>(k);
    {
        const QSignalBlocker quiet(lstPasses);
        lstPasses->setCurrentRow(k);
    }
    lblTitle->setText(qs(report::passTitle(*m_steps, *m_names, pass)));
    QStringList lines;
    for (const std::string& line : report::passLines(*m_steps, *m_names, pass, m_separator))
        lines << qs(line);
    lblLines->setText(lines.join(QLatin1Char('\n')));
    const report::StepTable table =
        report::showsFullTableau(*m_steps)
            ? report::fullTableau(*m_problem, *m_steps, *m_names, pass, m_separator)
            : report::passDataTable(*m_steps, *m_names, pass, m_separator);
    tblTableau->clear();
    const int rows = static_cast<int>(table.cells.size());
    int columns = 0;
    for (const auto& row : table.cells)
        columns = std::max(columns, static_cast<int>(row.size()));
    tblTableau->setRowCount(rows);
    tblTableau->setColumnCount(columns);
    const QColor line(255, 236, 200), element(255, 190, 120), titles(230, 230, 230);
    for (int r = 0; r < rows; ++r) {
        const auto& row = table.cells[static_cast<size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
            auto* item = new QTableWidgetItem(qs(row[static_cast<size_t>(c)]));
            item->setTextAlignment(c == 0 || r == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                    : Qt::AlignRight | Qt::AlignVCenter);
            const bool inRow = r == table.pivotRow;
            const bool inColumn = c == table.pivotColumn && r > 0;
            if (r == 0 || c == 0) item->setBackground(titles);
            if (inRow || inColumn) item->setBackground(inRow && inColumn ? element : line);
            tblTableau->setItem(r, c, item);
        }
    }
    // Column widths from the texts only for a grid a reader scans by eye.
    if (rows <= 200) tblTableau->resizeColumnsToContents();
    btnFirst->setEnabled(k > 0);
    btnPrev->setEnabled(k > 0);
    btnNext->setEnabled(k + 1 < count);
    btnLast->setEnabled(k + 1 < count);
    btnSave->setEnabled(true);
}

void TfrmSteps::btnSaveClick() {
    if (!m_steps) return;
    FileDialogOptions options;
    options.title = QStringLiteral("Сохранить пошаговое решение");
    options.filter = QStringLiteral("Документы RTF|*.rtf|Все файлы|*.*");
    options.defaultExt = QStringLiteral("rtf");
    options.initialDir = QStringLiteral(".");
    options.fileName = QStringLiteral("steps.rtf");
    const std::optional<QString> path = chooseSaveFile(m_toolkit, options);
    if (!path) return;
    writeFileBytes(path->toStdString(), report::writeRtf(report::stepsDocument(
                                            *m_problem, *m_steps, *m_names, m_separator)));
}

} // namespace kvado::ui
