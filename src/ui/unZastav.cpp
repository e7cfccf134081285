#include "ui/unZastav.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/SplashPicture.h"

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
    QPalette green = palette();
    green.setColor(QPalette::Window, QColor::fromRgb(kBackground));
    setPalette(green);
    setAutoFillBackground(true);

    // A label draws no background of its own, so the picture stands on the window's green
    // wherever it is transparent.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap::fromImage(splashPicture()));
    Image1->setGeometry(7, 4, 145, 161);

    btnOK = new QPushButton(QStringLiteral("Д а л е е"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setFont(windowFont(16));
    btnOK->setGeometry(8, 221, 377, 27);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace kvado::ui
