#include "ui/unZastav.h"

namespace kvado::ui {

TfrmZastav::TfrmZastav(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmZastav",
            .caption = QStringLiteral("  Линейная оптимизация "),
            .clientSize = QSize(438, 259),
            .helpKey = false},
           parent) {
    // A dialog border: fixed size, no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
}

} // namespace kvado::ui
