#include "ui/Unit2.h"

namespace kvado::ui {

TForm2::TForm2(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TForm2",
            .caption = QStringLiteral("  Справка "),
            .clientSize = QSize(554, 363),
            .fontPixels = 11},
           parent) {
    setFixedSize(size());
}

} // namespace kvado::ui
