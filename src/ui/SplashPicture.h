#pragma once
// The splash window's picture, stored in the program as JPEG data (tools/make-splash.sh draws
// it) and decoded with libjpeg when the window is built.

#include <QByteArray>
#include <QImage>

namespace kvado::ui {

inline constexpr const char* kSplashResource = ":/splash.jpg";

// The stored JPEG file as it is.
QByteArray splashJpegData();
// The picture, 145 x 161; a null image if the stored data cannot be decoded.
QImage splashPicture();

} // namespace kvado::ui
