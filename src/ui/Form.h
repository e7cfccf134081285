#pragma once
// What the program's windows share: their fonts, their sizes as designed, their placement,
// F1 help and the anchoring of controls to the edges of the client area.

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

#include "ui/Toolkit.h"

class QPushButton;
class QVBoxLayout;

namespace kvado::ui {

// The windows were designed with a frame of 4 pixels on each side and a caption bar: the
// outer size is the client size plus these.
inline constexpr int kDesignFrameWidth = 8;
inline constexpr int kDesignFrameHeight = 34;

// "MS Sans Serif" at the given pixel height, or the nearest installed stand-in.
QFont windowFont(int pixelSize);
// `font`, narrowed to Arial's widths when it is wider.
QFont withArialWidths(QFont font);
// "Courier New" 12 pixels high, or the nearest installed stand-in.
QFont gridFont();
// The first of `families` that is installed, else the desktop's font of the kind.
QFont fontOrFallback(const QStringList& families, int pixelSize, bool fixedPitch);
// The width a label needs for `text` (never less than designed), where it may take up to
// `room` pixels; when even that is too little in the label's font, the font is made smaller
// and then narrower until the text fits.
int fitLabel(QWidget* label, const QString& text, int designWidth, int room);

// Centres a window on the screen it is on.
void centreOnScreen(QWidget* window);
// F1 in the window (and in every control of it) shows help.
void installHelpKey(QWidget* window, Toolkit& toolkit);

// Ends the dialog's vertical layout with a row holding `close` at its right: «Закрыть», the
// default button, which accepts the dialog.
void addCloseButtonRow(QDialog* dialog, QVBoxLayout* layout, QPushButton*& close);

// Keeps controls at their designed distance from the edges they are anchored to while the
// client area changes size. Controls anchored to both opposite edges stretch.
class Anchoring {
public:
    explicit Anchoring(QSize designSize) : m_design(designSize) {}
    void add(QWidget* control, QRect designRect, Qt::Edges anchors);
    void apply(QSize clientSize) const;
    QSize designSize() const { return m_design; }

private:
    struct Item {
        QWidget* control;
        QRect rect;
        Qt::Edges anchors;
    };
    QSize m_design;
    std::vector<Item> m_items;
};

// A client area whose controls follow its size by their anchors.
class AnchoredArea : public QWidget {
public:
    AnchoredArea(QSize designSize, QWidget* parent = nullptr)
        : QWidget(parent), m_anchoring(designSize) {}
    Anchoring& anchoring() { return m_anchoring; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Anchoring m_anchoring;
};

// A window shown modally from the main window: caption, start size, font and F1 help.
class Form : public QDialog {
    Q_OBJECT
public:
    struct Design {
        const char* name; // objectName, the class name of the window
        QString caption;
        QSize clientSize;
        int fontPixels = 13;
        bool helpKey = true; // help context 1
        // Where the outer window is placed; centred when not given.
        std::optional<QPoint> position = std::nullopt;
    };
    Form(Toolkit& toolkit, const Design& design, QWidget* parent = nullptr);

    Toolkit& toolkit() const { return m_toolkit; }

    // The outer size as the design measures it: the client size plus the design frame.
    QSize outerSize() const;
    // Widens and heightens the window to at least `minimum` (outer), each dimension by itself;
    // a window large enough is left alone.
    void keepMinimumOuterSize(QSize minimum);

protected:
    Toolkit& m_toolkit;
};

} // namespace kvado::ui
