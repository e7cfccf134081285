#include "ui/unResults2.h"

namespace kvado::ui {

TfrmResults2::TfrmResults2(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmResults2",
            .caption = QStringLiteral("  Таблица результатов"),
            .clientSize = QSize(687 - kDesignFrameWidth, 542 - kDesignFrameHeight),
            .position = QPoint(428, 142)},
           parent) {}

void TfrmResults2::setObjectiveName(const QString& name) {
    m_objectiveName = name;
}

} // namespace kvado::ui
