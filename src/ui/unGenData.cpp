#include "ui/unGenData.h"

namespace kvado::ui {

TfrmGenData::TfrmGenData(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmGenData",
            .caption = QStringLiteral("  Генератор данных для Kvado2009"),
            .clientSize = QSize(478 - kDesignFrameWidth, 133 - kDesignFrameHeight),
            .fontPixels = 15,
            .position = QPoint(553, 171)},
           parent) {}

} // namespace kvado::ui
