#include "ui/FormBuilder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "ui/Form.h"
#include "ui/StringGrid.h"

namespace kvado::ui {

void FormBuilder::place(QWidget* control, QRect rect, Qt::Edges anchors) {
    if (m_anchoring != nullptr)
        m_anchoring->add(control, rect, anchors);
    else
        control->setGeometry(rect);
}

QLabel* FormBuilder::label(const char* name, const QString& text) {
    auto* l = new QLabel(text, m_parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLabel* FormBuilder::label(const char* name, const QString& text, QRect rect, int room) {
    QLabel* l = label(name, text);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    rect.setWidth(fitLabel(l, l->text(), rect.width(), room - rect.left()));
    place(l, rect, Qt::LeftEdge | Qt::TopEdge);
    return l;
}

QLabel* FormBuilder::heading(const char* name, const QString& text, const QFont& font) {
    QLabel* l = label(name, text);
    l->setFont(font);
    QPalette navy = l->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    l->setPalette(navy);
    return l;
}

QLineEdit* FormBuilder::edit(const char* name, const QString& text, QRect rect) {
    auto* e = new QLineEdit(text, m_parent);
    e->setObjectName(QLatin1String(name));
    place(e, rect, Qt::LeftEdge | Qt::TopEdge);
    return e;
}

QPushButton* FormBuilder::dialogButton(const char* name, const QString& text) {
    auto* b = new QPushButton(text, m_parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QPushButton* FormBuilder::button(const char* name, const QString& text) {
    QPushButton* b = dialogButton(name, text);
    b->setAutoDefault(false);
    return b;
}

QPushButton* FormBuilder::button(const char* name, const QString& text, QRect rect,
                                 Qt::Edges anchors) {
    QPushButton* b = button(name, text);
    place(b, rect, anchors);
    return b;
}

StringGrid* FormBuilder::grid(const char* name, StringGridModel& cells) {
    auto* g = new StringGrid(cells, m_parent);
    g->setObjectName(QLatin1String(name));
    g->setEditing(false);
    return g;
}

} // namespace kvado::ui
