#pragma once
// Explanation window (TfrmExplain, «Почему нет решения»): after "no feasible solution", the
// sum of constraints that reads 0 >= a positive number and the irreducible infeasible subset;
// after an unbounded objective, the unknowns that grow and how fast Z falls. Names as the grid
// gives them; for an LP or MPS model, the model's rows and columns. Shown beside the main window,
// not modally, so that the user can correct the grid while reading it.

#include "analysis/Explain.h"
#include "grid/StringGridModel.h"
#include "session/Explanation.h"
#include "solver/LpProblem.h"
#include "ui/Form.h"

class QLabel;
class QPushButton;

namespace kvado::ui {

class StringGrid;

class TfrmExplain : public Form {
    Q_OBJECT
public:
    explicit TfrmExplain(Toolkit& toolkit, QWidget* parent = nullptr);
    ~TfrmExplain() override;

    // Fills the window from the explanation of the solve of `p` without showing it.
    void setExplanation(const LpProblem& p, const analysis::Explanation& e, const Names& names,
                        char decimalSeparator);
    // Fills the window and shows it beside the main window.
    void showExplanation(const LpProblem& p, const analysis::Explanation& e, const Names& names,
                         char decimalSeparator);

    // The same for a model that was turned into the standard form: the session's explanation
    // in the model's own rows and columns.
    void showModelExplanation(const session::ExplanationTable& table);

    const StringGridModel& cells() const { return m_cells; }

    QLabel* lblSentence;
    QLabel* lblTerms;
    StringGrid* SGTerms;
    QLabel* lblSubset;
    QPushButton* btnClose;

private:
    StringGridModel m_cells;
};

} // namespace kvado::ui
