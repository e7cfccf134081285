#pragma once
// Window «Отсечения Гомори» (TfrmGomory): the rounds of Gomory's fractional cuts on the grid's
// pure integer problem, each relaxation's plan, the tableau row, its fractional parts and the
// cut; for two unknowns the graphical method draws the cuts and the integer optimum.

#include <functional>
#include <string>
#include <vector>

#include "base/Names.h"
#include "session/GomorySolve.h"
#include "ui/Form.h"

class QPlainTextEdit;
class QPushButton;

namespace kvado::ui {

class TfrmGraph;
struct GraphContents;

// The picture of a run on two unknowns: the first relaxation's rows, its whole points, every
// cut as a line, and the integer optimum when the run found it.
GraphContents gomoryGraph(const session::GomoryRun& run, const Names& names, char decimalSeparator);

class TfrmGomory : public Form {
    Q_OBJECT
public:
    explicit TfrmGomory(Toolkit& toolkit, QWidget* parent = nullptr);

    // `toReport` appends lines to the report (the section «Отсечения Гомори»).
    void setReport(std::function<void(const std::vector<std::string>&)> toReport) {
        m_toReport = std::move(toReport);
    }
    void setRun(session::GomoryRun run, Names names, char decimalSeparator);
    void showRun(session::GomoryRun run, Names names, char decimalSeparator);
    QString text() const;

    void btnGraphClick();
    // Adds the derivation to the report once per run shown.
    void btnReportClick();

    QPlainTextEdit* MemoCuts;
    QPushButton* btnGraph;
    QPushButton* btnReport;
    QPushButton* btnClose;
    TfrmGraph* graphWindow() const { return m_graph; }

private:
    session::GomoryRun m_run;
    Names m_names;
    char m_separator = ',';
    std::vector<std::string> m_lines;
    std::function<void(const std::vector<std::string>&)> m_toReport;
    TfrmGraph* m_graph = nullptr;
};

} // namespace kvado::ui
