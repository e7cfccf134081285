#include "ui/Unit3.h"

namespace kvado::ui {

TResults::TResults(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TResults",
            .caption = QStringLiteral("  О т ч е т   о   р е з у л ь т а т а х "),
            .clientSize = QSize(610 - kDesignFrameWidth, 370 - kDesignFrameHeight)},
           parent) {}

// The report's content comes with the report window itself; until then there is nothing to
// empty.
void TResults::ClearReport() {}

} // namespace kvado::ui
