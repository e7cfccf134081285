#pragma once
// Splash window (TfrmZastav, «Линейная оптимизация»): greets the user when the main window first
// comes up.

#include <QColor>

#include "ui/Form.h"

class QLabel;
class QPushButton;

namespace kvado::ui {

class TfrmZastav : public Form {
    Q_OBJECT
public:
    // Light green, red 102, green 255, blue 102.
    static constexpr QRgb kBackground = 0xFF66FF66;

    explicit TfrmZastav(Toolkit& toolkit, QWidget* parent = nullptr);

    QLabel* Image1;
    QPushButton* btnOK;
};

} // namespace kvado::ui
