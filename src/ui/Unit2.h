#pragma once
// The help window: the standard form in which a problem is written into the input grid.

#include "ui/Form.h"

namespace kvado::ui {

class TForm2 : public Form {
    Q_OBJECT
public:
    explicit TForm2(Toolkit& toolkit, QWidget* parent = nullptr);
};

} // namespace kvado::ui
