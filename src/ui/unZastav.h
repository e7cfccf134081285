#pragma once
// The splash window that greets the user when the main window first comes up.

#include "ui/Form.h"

namespace kvado::ui {

class TfrmZastav : public Form {
    Q_OBJECT
public:
    explicit TfrmZastav(Toolkit& toolkit, QWidget* parent = nullptr);
};

} // namespace kvado::ui
