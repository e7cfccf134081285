#include "ui/Form.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <algorithm>

namespace kvado::ui {

QFont fontOrFallback(const QString& family, int pixelSize, bool fixedPitch) {
    QFont font;
    if (QFontDatabase::hasFamily(family)) {
        font = QFont(family);
    } else {
        font = QFontDatabase::systemFont(fixedPitch ? QFontDatabase::FixedFont
                                                    : QFontDatabase::GeneralFont);
    }
    font.setPixelSize(pixelSize);
    return font;
}

QFont windowFont(int pixelSize) {
    return fontOrFallback(QStringLiteral("MS Sans Serif"), pixelSize, false);
}

QFont gridFont() {
    return fontOrFallback(QStringLiteral("Courier New"), 12, true);
}

void centreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QSize outer = window->size() + QSize(kDesignFrameWidth, kDesignFrameHeight);
    window->move(area.x() + (area.width() - outer.width()) / 2,
                 area.y() + (area.height() - outer.height()) / 2);
}

void installHelpKey(QWidget* window, Toolkit& toolkit) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window,
                     [&toolkit] { runCommand(toolkit, [&toolkit] { toolkit.showHelp(); }); });
}

void Anchoring::add(QWidget* control, QRect designRect, Qt::Edges anchors) {
    m_items.push_back({control, designRect, anchors});
    control->setGeometry(designRect);
}

void Anchoring::apply(QSize clientSize) const {
    const int dw = clientSize.width() - m_design.width();
    const int dh = clientSize.height() - m_design.height();
    for (const Item& item : m_items) {
        QRect r = item.rect;
        const bool left = item.anchors.testFlag(Qt::LeftEdge);
        const bool right = item.anchors.testFlag(Qt::RightEdge);
        const bool top = item.anchors.testFlag(Qt::TopEdge);
        const bool bottom = item.anchors.testFlag(Qt::BottomEdge);
        if (left && right)
            r.setWidth(std::max(0, r.width() + dw));
        else if (right)
            r.moveLeft(r.left() + dw);
        else if (!left)
            r.moveLeft(r.left() + dw / 2); // anchored to neither: keeps its relative place
        if (top && bottom)
            r.setHeight(std::max(0, r.height() + dh));
        else if (bottom)
            r.moveTop(r.top() + dh);
        else if (!top)
            r.moveTop(r.top() + dh / 2);
        item.control->setGeometry(r);
    }
}

void AnchoredArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_anchoring.apply(size());
}

Form::Form(Toolkit& toolkit, const Design& design, QWidget* parent)
    : QDialog(parent), m_toolkit(toolkit) {
    setObjectName(QLatin1String(design.name));
    setWindowTitle(design.caption);
    setFont(windowFont(design.fontPixels));
    resize(design.clientSize);
    if (design.position)
        move(*design.position);
    else
        centreOnScreen(this);
    if (design.helpKey) installHelpKey(this, toolkit);
}

} // namespace kvado::ui
