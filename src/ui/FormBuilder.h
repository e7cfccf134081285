#pragma once
// The one form builder of the windows: the named labels, edits, buttons and read-only grids
// they are made of, at their designed rects or for a layout.

#include <QRect>
#include <QString>

class QFont;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kvado {
class StringGridModel;
}

namespace kvado::ui {

class Anchoring;
class StringGrid;

// Makes a window's controls the one way the windows make them: each named (the tests find it
// by its name), a label's text shown as typed (plain text: a name with "<" in it is no
// markup), a button that leaves Enter to the window's default button. A control given its
// designed rect is placed there, through the window's anchoring when it has one; one without a
// rect is left to a layout.
class FormBuilder {
public:
    explicit FormBuilder(QWidget* parent, Anchoring* anchoring = nullptr)
        : m_parent(parent), m_anchoring(anchoring) {}

    QLabel* label(const char* name, const QString& text = {});
    // At its designed rect, its text at the left and in the middle of its height. It grows
    // beyond its designed width when the desktop's font needs it, never past `room` (where the
    // control right of it begins): there the font gives way instead (fitLabel).
    QLabel* label(const char* name, const QString& text, QRect rect, int room);
    // A heading in navy, in `font`.
    QLabel* heading(const char* name, const QString& text, const QFont& font);
    QLineEdit* edit(const char* name, const QString& text, QRect rect);
    QPushButton* button(const char* name, const QString& text);
    QPushButton* button(const char* name, const QString& text, QRect rect,
                        Qt::Edges anchors = Qt::LeftEdge | Qt::TopEdge);
    // A button that, while it has the focus, takes Enter itself (the dialog's way).
    QPushButton* dialogButton(const char* name, const QString& text);
    // A grid that shows `cells` and lets nobody type into them.
    StringGrid* grid(const char* name, StringGridModel& cells);

private:
    void place(QWidget* control, QRect rect, Qt::Edges anchors);

    QWidget* m_parent;
    Anchoring* m_anchoring;
};

} // namespace kvado::ui
