#pragma once
// Step window (TfrmSteps, «Пошаговое решение»): the passes of a solve as the method made them,
// one at a time: what entered and left and why, and the tableau of the basis (for a problem
// of up to 30 rows and 30 unknowns the full tableau, for a larger one the pass's rows), the
// pivot's row and column highlighted. The steps can be saved as an RTF document.

#include <optional>

#include "solver/LpProblem.h"
#include "solver/StepRecorder.h"
#include "ui/Form.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace kvado::ui {

class TfrmSteps : public Form {
    Q_OBJECT
public:
    explicit TfrmSteps(Toolkit& toolkit, QWidget* parent = nullptr);

    // The recorded passes of a solve of `problem` (whose tableau the full tableau is computed
    // from); all three must outlive their use by the window. Shows the first pass.
    void setSteps(const LpProblem& problem, const StepRecorder& steps, const StepNames& names,
                  char decimalSeparator);
    // Fills the window and shows it modally.
    void showSteps(const LpProblem& problem, const StepRecorder& steps, const StepNames& names,
                   char decimalSeparator);

    // The pass shown (an index into the recorded passes).
    int current() const { return m_current; }
    void showPass(int k);

    // --- handlers ------------------------------------------------------------------------
    void btnFirstClick() { showPass(0); }
    void btnPrevClick() { showPass(m_current - 1); }
    void btnNextClick() { showPass(m_current + 1); }
    void btnLastClick();
    // The steps as an RTF document, under a name the user chooses.
    void btnSaveClick();

    // --- controls ------------------------------------------------------------------------
    QLabel* lblNote;
    QListWidget* lstPasses;
    QLabel* lblTitle;
    QLabel* lblLines;
    QTableWidget* tblTableau;
    QPushButton* btnFirst;
    QPushButton* btnPrev;
    QPushButton* btnNext;
    QPushButton* btnLast;
    QPushButton* btnSave;
    QPushButton* btnClose;

private:
    const LpProblem* m_problem = nullptr;
    const StepRecorder* m_steps = nullptr;
    std::optional<StepNames> m_names;
    char m_separator = ',';
    int m_current = -1;
};

} // namespace kvado::ui
