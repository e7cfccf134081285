#include "ui/Form.h"

#include <QBoxLayout>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <algorithm>

namespace kvado::ui {

QFont fontOrFallback(const QStringList& families, int pixelSize, bool fixedPitch) {
    QFont font = QFontDatabase::systemFont(fixedPitch ? QFontDatabase::FixedFont
                                                      : QFontDatabase::GeneralFont);
    for (const QString& family : families) {
        if (QFontDatabase::hasFamily(family)) {
            font = QFont(family);
            break;
        }
    }
    font.setPixelSize(pixelSize);
    return font;
}

// The windows were laid out in "MS Sans Serif". Where it is missing, a family of Arial's
// widths keeps the texts within the widths they were laid out in (the usual stand-ins for the
// Windows interface fonts). Where none of them is installed, the desktop's own sans font is
// narrowed to Arial's widths (DejaVu Sans, the only one of a fresh system, runs a sixth
// wider), and fitLabel() keeps a label's text clear of the control beside it.
QFont windowFont(int pixelSize) {
    static const QStringList families{
        QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
        QStringLiteral("Arial"),         QStringLiteral("Liberation Sans"),
        QStringLiteral("Arimo"),         QStringLiteral("Nimbus Sans"),
        QStringLiteral("Nimbus Sans L"), QStringLiteral("Helvetica")};
    return withArialWidths(fontOrFallback(families, pixelSize, false));
}

namespace {

// A Russian sentence with every letter, and its width in Arial (and in Liberation Sans, which
// has Arial's widths) in ems.
const char* const kWidthSample =
    "Съешь же ещё этих мягких французских булок, да выпей чаю. 0123456789";
constexpr qreal kArialSampleEms = 34.87;

} // namespace

QFont withArialWidths(QFont font) {
    const QString sample = QString::fromUtf8(kWidthSample);
    // Measured large, where the glyphs' advances are not rounded to whole pixels.
    constexpr int kProbePixels = 1000;
    QFont probe = font;
    probe.setPixelSize(kProbePixels);
    auto ems = [&](int stretch) {
        probe.setStretch(stretch);
        return QFontMetricsF(probe).horizontalAdvance(sample) / kProbePixels;
    };
    if (ems(100) <= kArialSampleEms * 1.01) return font;
    // A family may have a narrower face of its own besides the synthesized narrowing, so the
    // width does not follow the stretch in proportion: the widest stretch that fits is sought.
    int fits = 50, tooWide = 100;
    while (tooWide - fits > 1) {
        const int mid = (fits + tooWide) / 2;
        (ems(mid) <= kArialSampleEms ? fits : tooWide) = mid;
    }
    font.setStretch(fits);
    return font;
}

QFont gridFont() {
    static const QStringList families{
        QStringLiteral("Courier New"),   QStringLiteral("Liberation Mono"),
        QStringLiteral("Cousine"),       QStringLiteral("Nimbus Mono PS"),
        QStringLiteral("Nimbus Mono L"), QStringLiteral("Courier")};
    return fontOrFallback(families, 12, true);
}

int fitLabel(QWidget* label, const QString& text, int designWidth, int room) {
    // Trailing blanks show nothing, so they may fall outside the label.
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' '))
        --end;
    const QString shown = text.left(end);
    QFont font = label->font();
    if (font.pixelSize() < 0) font.setPixelSize(QFontInfo(font).pixelSize());
    auto width = [&] { return QFontMetrics(font).horizontalAdvance(shown); };
    int needed = width();
    // Smaller first, down to a size still easily read; then narrower, which every scalable
    // font allows, so that the text fits whatever family the system gives.
    constexpr int kSmallestPixels = 8;
    while (needed > room && font.pixelSize() > kSmallestPixels) {
        font.setPixelSize(font.pixelSize() - 1);
        needed = width();
    }
    int stretch = font.stretch() > 0 ? font.stretch() : 100;
    while (needed > room && stretch > 1) {
        stretch = std::max(1, std::min(stretch - 1, stretch * std::max(room, 0) / needed));
        font.setStretch(stretch);
        needed = width();
    }
    if (font != label->font()) label->setFont(font);
    return std::clamp(needed, designWidth, std::max(designWidth, room));
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

QSize Form::outerSize() const {
    return size() + QSize(kDesignFrameWidth, kDesignFrameHeight);
}

void Form::keepMinimumOuterSize(QSize minimum) {
    const QSize frame(kDesignFrameWidth, kDesignFrameHeight);
    if (outerSize().width() < minimum.width()) resize(minimum.width() - frame.width(), height());
    if (outerSize().height() < minimum.height()) resize(width(), minimum.height() - frame.height());
}

void addCloseButtonRow(QDialog* dialog, QVBoxLayout* layout, QPushButton*& close) {
    close = new QPushButton(QStringLiteral("Закрыть"), dialog);
    close->setObjectName(QStringLiteral("btnClose"));
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

} // namespace kvado::ui
