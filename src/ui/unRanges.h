#pragma once
// Sensitivity window (TfrmRanges, «Анализ чувствительности»): the ranges of the optimal basis
// of the last solve, unknowns and constraints in two grids, as the session computes them.

#include <QString>

#include "analysis/Ranging.h"
#include "grid/StringGridModel.h"
#include "ui/Form.h"

class QLabel;
class QPushButton;

namespace kvado::ui {

class StringGrid;

// The text of a number in the window: the short general format with the user's decimal
// separator, an end without a limit as «+∞» or «−∞».
std::string rangeNumberText(Real v, char decimalSeparator);

class TfrmRanges : public Form {
    Q_OBJECT
public:
    explicit TfrmRanges(Toolkit& toolkit, QWidget* parent = nullptr);
    ~TfrmRanges() override;

    // Fills the grids and the notes line from `ranges` without showing the window.
    void setRanges(const analysis::Ranges& ranges, char decimalSeparator);
    // Fills the window and shows it modally.
    void showRanges(const analysis::Ranges& ranges, char decimalSeparator);

    const StringGridModel& columnCells() const { return m_columns; }
    const StringGridModel& rowCells() const { return m_rows; }

    QLabel* lblNotes;
    QLabel* lblColumns;
    StringGrid* SGColumns;
    QLabel* lblRows;
    StringGrid* SGRows;
    QPushButton* btnClose;

private:
    StringGridModel m_columns;
    StringGridModel m_rows;
};

} // namespace kvado::ui
