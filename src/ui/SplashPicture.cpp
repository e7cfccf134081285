#include "ui/SplashPicture.h"

#include <QFile>

#include "ui/JpegImage.h"

// kvado.qrc is compiled into the static kvado_ui library, and a linker drops an object file
// that nothing refers to: registering the resources here makes the program keep them.
// Q_INIT_RESOURCE declares a global function, so it cannot be used inside the namespace.
static void registerResources() {
    Q_INIT_RESOURCE(kvado);
}

namespace kvado::ui {

QByteArray splashJpegData() {
    registerResources();
    QFile file(kSplashResource);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

QImage splashPicture() {
    return decodeJpeg(splashJpegData());
}

} // namespace kvado::ui
