#pragma once
// The results window: the solution and the analysis of the constraints after a solve.

#include "report/Results.h"
#include "ui/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kvado::ui {

class StringGrid;
class TResults;

class TfrmResults2 : public Form {
    Q_OBJECT
public:
    static constexpr QSize kDesignOuterSize{687, 542};
    static constexpr QSize kMinOuterSize{687, 500};

    explicit TfrmResults2(Toolkit& toolkit, QWidget* parent = nullptr);
    ~TfrmResults2() override;

    // The report window that "Текстовый отчет" shows.
    void setReportWindow(TResults* window) { m_reportWindow = window; }

    // What the window shows. SG3 and SG2 follow their models as they are written; the
    // objective's value and name show once showTexts() is called.
    report::ResultsModel& results() { return m_results; }
    const report::ResultsModel& results() const { return m_results; }
    // Shows the model's objective value in edTarget and its objective name in Label4.
    void showTexts();
    // The objective's name, as the open command takes it from the constraint names file. Only
    // the open command sets it: a solve leaves the name of the file last opened.
    void setObjectiveName(const QString& name);
    QString objectiveName() const { return QString::fromStdString(m_results.objectiveName); }

    // --- handlers ------------------------------------------------------------------------
    void FormResize();
    void btnTextClick();

    // --- controls ------------------------------------------------------------------------
    QLabel* Label1;
    StringGrid* SG3;
    QLabel* Label2;
    QLineEdit* edTarget;
    QLabel* Label4;
    QLabel* Label3;
    StringGrid* SG2;
    QPushButton* btnText;
    QPushButton* btnOK;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Shown by SG3 and SG2, which the destructor deletes before it.
    report::ResultsModel m_results;
    TResults* m_reportWindow = nullptr;
    Anchoring m_anchoring;
};

} // namespace kvado::ui
