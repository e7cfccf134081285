#pragma once
// The results window: the solution and the analysis of the constraints after a solve.

#include "ui/Form.h"

namespace kvado::ui {

class TfrmResults2 : public Form {
    Q_OBJECT
public:
    explicit TfrmResults2(Toolkit& toolkit, QWidget* parent = nullptr);
};

} // namespace kvado::ui
