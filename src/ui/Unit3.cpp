#include "ui/Unit3.h"

#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextCursor>
#include <QTextEdit>

#include "base/FileIo.h"
#include "report/RtfWriter.h"
#include "session/FileNames.h"
#include "ui/FormBuilder.h"
#include "ui/RichTextReport.h"

namespace kvado::ui {

TResults::TResults(Toolkit& toolkit, report::ReportDocument& report, QWidget* parent)
    : Form(toolkit,
           {.name = "TResults",
            .caption = QStringLiteral("  О т ч е т   о   р е з у л ь т а т а х "),
            .clientSize = kMinOuterSize - QSize(kDesignFrameWidth, kDesignFrameHeight)},
           parent),
      m_report(report), m_anchoring(kMinOuterSize - QSize(kDesignFrameWidth, kDesignFrameHeight)) {
    setMinimumSize(m_anchoring.designSize());

    RE1 = new QTextEdit(this);
    RE1->setObjectName(QStringLiteral("RE1"));
    RE1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RE1->setAcceptRichText(true);
    // What the user types into an empty report looks like the report's body, and a format the
    // text leaves unset is saved as that.
    RE1->document()->setDefaultFont(
        QFont(QString::fromStdString(report::ReportDocument::baseFormat().fontName),
              static_cast<int>(report::ReportDocument::baseFormat().pointSize)));
    m_anchoring.add(RE1, QRect(8, 8, 593, 289),
                    Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);

    FormBuilder controls(this, &m_anchoring);
    const Qt::Edges rightBottom = Qt::RightEdge | Qt::BottomEdge;
    btnPrint = controls.button("btnPrint", "Печать...", QRect(244, 304, 110, 27), rightBottom);
    btnSave = controls.button("btnSave", "Сохранить отчет", QRect(360, 304, 153, 27), rightBottom);
    btnExit = controls.button("btnExit", "Выход", QRect(520, 304, 81, 28), rightBottom);

    connectCommand(btnSave, &QPushButton::clicked, this, m_toolkit, [this] { btnSaveClick(); });
    connectCommand(btnPrint, &QPushButton::clicked, this, m_toolkit, [this] { btnPrintClick(); });
    connect(btnExit, &QPushButton::clicked, this, &QDialog::accept);
}

void TResults::showAppended() {
    // A report emptied behind RE1's back is shown again from its start.
    if (m_shown > m_report.paragraphs().size()) {
        RE1->clear();
        m_shown = 0;
    }
    // The report is not something to undo into; an undo history of thousands of paragraphs
    // would only cost memory.
    RE1->setUndoRedoEnabled(false);
    appendParagraphs(*RE1->document(), m_report.paragraphs(), m_shown);
    RE1->setUndoRedoEnabled(true);
    m_shown = m_report.paragraphs().size();
    // The user reads the report from its beginning.
    RE1->moveCursor(QTextCursor::Start);
}

void TResults::ClearReport() {
    m_report.clear();
    RE1->clear();
    m_shown = 0;
}

QString TResults::proposedFileName() const {
    const std::string name = m_problem != nullptr ? m_problem->dataFileName : std::string();
    return QString::fromStdString(session::proposedReportName(name));
}

void TResults::FormResize() {
    keepMinimumOuterSize(kMinOuterSize);
}

void TResults::btnSaveClick() {
    FileDialogOptions options;
    options.title = QStringLiteral("Задайте имя отчета");
    options.filter = QStringLiteral("Отчеты|*.rtf|Все файлы|*.*");
    options.initialDir = QStringLiteral(".");
    options.fileName = proposedFileName();
    const std::optional<QString> path = chooseSaveFile(m_toolkit, options);
    if (!path) return;
    // What RE1 holds now, the user's own edits included. A file that cannot be written ends
    // the command with the error report; RE1 stays as it is.
    writeFileBytes(path->toStdString(), report::writeRtf(paragraphsOf(*RE1->document())));
}

void TResults::btnPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("Отчет о результатах"));
    if (!m_toolkit.choosePrinter(printer)) return;
    RE1->print(&printer);
}

void TResults::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    m_anchoring.apply(size());
    runCommand(m_toolkit, [this] { FormResize(); });
}

} // namespace kvado::ui
