#pragma once
// The report window: the rich-text report of the last solve, which the user can save.

#include "ui/Form.h"

namespace kvado::ui {

class TResults : public Form {
    Q_OBJECT
public:
    explicit TResults(Toolkit& toolkit, QWidget* parent = nullptr);

    // Empties the report; the main window calls it first thing in every solve.
    void ClearReport();
};

} // namespace kvado::ui
