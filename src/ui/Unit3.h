#pragma once
// Report window (TResults, «О т ч е т   о   р е з у л ь т а т а х»): the rich-text report of
// the last solve, which the user may edit and save as an RTF file. It shows the session's
// report document.

#include "report/ReportDocument.h"
#include "solver/LpProblem.h"
#include "ui/Form.h"

class QPushButton;
class QTextEdit;

namespace kvado::ui {

class TResults : public Form {
    Q_OBJECT
public:
    static constexpr QSize kMinOuterSize{610, 370};

    // `report`: the document the window shows (the session's); it must outlive the window.
    TResults(Toolkit& toolkit, report::ReportDocument& report, QWidget* parent = nullptr);

    // The problem whose data file name the save proposes; none: no data file was opened.
    void setProblem(const LpProblem* problem) { m_problem = problem; }

    // The report as the writers append it. RE1 shows what has been appended up to the last
    // showAppended().
    report::ReportDocument& report() { return m_report; }
    const report::ReportDocument& report() const { return m_report; }
    // Shows in RE1 the paragraphs appended to the report since the last call, after what RE1
    // holds.
    void showAppended();
    // Empties the report and RE1; the main window calls it first thing in every solve.
    void ClearReport();

    // The name the save dialog proposes: the data file's name with "rtf" for its extension,
    // or "rtf" alone before any data file has been opened.
    QString proposedFileName() const;

    // --- handlers ------------------------------------------------------------------------
    void FormResize();
    void btnSaveClick();
    // «Печать...»: the report as the window holds it, on the printer the user chooses.
    void btnPrintClick();

    // --- controls ------------------------------------------------------------------------
    QTextEdit* RE1;
    QPushButton* btnPrint;
    QPushButton* btnSave;
    QPushButton* btnExit;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    const LpProblem* m_problem = nullptr;
    report::ReportDocument& m_report;
    size_t m_shown = 0; // paragraphs of m_report that RE1 shows
    Anchoring m_anchoring;
};

} // namespace kvado::ui
