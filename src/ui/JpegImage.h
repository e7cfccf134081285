#pragma once
// JPEG pictures decoded with libjpeg itself, so a picture stored with a window shows the same
// whichever image plugins the Qt installation has.

#include <QByteArray>
#include <QImage>

namespace kvado::ui {

// Decodes a whole JPEG file held in memory into an RGB888 image. Anything libjpeg reports as
// an error or a warning (truncated or corrupt data, a CMYK picture) gives a null image.
QImage decodeJpeg(const QByteArray& data);

} // namespace kvado::ui
