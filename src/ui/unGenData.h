#pragma once
// The generator window: writes random test problems of a chosen size as data files.

#include "ui/Form.h"

namespace kvado::ui {

class TfrmGenData : public Form {
    Q_OBJECT
public:
    explicit TfrmGenData(Toolkit& toolkit, QWidget* parent = nullptr);
};

} // namespace kvado::ui
