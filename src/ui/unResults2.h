#pragma once
// Results window (TfrmResults2, «Таблица результатов»): the solution and the analysis of the
// constraints after a solve, as the session's results models hold them.

#include "report/Results.h"
#include "ui/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kvado::session {
class Session;
}

namespace kvado::ui {

class StringGrid;
class TResults;
class TfrmRanges;
class TfrmSteps;
class TfrmGraph;
class TfrmUserTerms;

class TfrmResults2 : public Form {
    Q_OBJECT
public:
    static constexpr QSize kDesignOuterSize{687, 542};
    static constexpr QSize kMinOuterSize{687, 500};

    // `results`: the models the window shows (the session's); they must outlive the window.
    TfrmResults2(Toolkit& toolkit, report::ResultsModel& results, QWidget* parent = nullptr);
    ~TfrmResults2() override;

    // The report window that "Текстовый отчет" shows.
    void setReportWindow(TResults* window) { m_reportWindow = window; }
    // The session whose last optimal solve "Анализ чувствительности" ranges and whose exact
    // check lblExact shows and «Проверить точно» runs; null: neither.
    void setSession(session::Session* session);
    // A solve has begun (false) or ended at an optimum (true): the ranges are of that solve,
    // and its report gains their section once.
    void setOptimalSolve(bool optimal);

    // What the window shows. SG3 and SG2 follow their models as they are written; the
    // objective's value and name show once showTexts() is called.
    report::ResultsModel& results() { return m_results; }
    const report::ResultsModel& results() const { return m_results; }
    // Shows the model's objective value in edTarget, its objective name in Label4 and the
    // session's exact check in lblExact (with btnExact when the check was not run).
    void showTexts();
    // Widens the window to show every column of SG2, as far as the screen allows.
    void fitWidthToGrids();
    // The objective's name, as the open command takes it from the constraint names file. Only
    // the open command sets it: a solve leaves the name of the file last opened.
    void setObjectiveName(const QString& name);
    QString objectiveName() const { return QString::fromStdString(m_results.objectiveName); }

    // --- handlers ------------------------------------------------------------------------
    void FormResize();
    void btnTextClick();
    void btnRangesClick();
    // The passes of the last solve in the step window (recorded now when the solve did not).
    void btnStepsClick();
    // The graphical method of the optimal solve, for a problem of two unknowns.
    void btnGraphClick();
    // The exact check at any size in a second thread, behind a modal progress window whose
    // «Прервать» stops it; its verdict then shows and its section goes to the report.
    void btnExactClick();
    // «Решение исходной задачи»: the answer in the terms of the model the problem was laid
    // from; shown only while the session has one.
    void btnUserTermsClick();
    TfrmUserTerms* userTermsWindow() const { return m_userTermsWindow; }

    // --- controls ------------------------------------------------------------------------
    QLabel* Label1;
    StringGrid* SG3;
    QLabel* Label2;
    QLineEdit* edTarget;
    QLabel* Label4;
    QLabel* Label3;
    StringGrid* SG2;
    QPushButton* btnRanges;
    QPushButton* btnSteps;
    QPushButton* btnGraph;
    QPushButton* btnText;
    QPushButton* btnOK;
    QLabel* lblExact;
    QPushButton* btnExact;
    QPushButton* btnUserTerms;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Shown by SG3 and SG2.
    report::ResultsModel& m_results;
    TResults* m_reportWindow = nullptr;
    session::Session* m_session = nullptr;
    TfrmRanges* m_rangesWindow = nullptr;
    TfrmSteps* m_stepsWindow = nullptr;
    TfrmGraph* m_graphWindow = nullptr;
    void enableAnalyses();
    TfrmUserTerms* m_userTermsWindow = nullptr;
    bool m_optimal = false;
    bool m_rangesReported = false;
    Anchoring m_anchoring;
};

} // namespace kvado::ui
