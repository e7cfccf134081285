#include "ui/unGuide.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/Form.h"
#include "ui/FormBuilder.h"

namespace kvado::ui {

TfrmGuide::TfrmGuide(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmGuide"));
    setWindowTitle(QStringLiteral("  Руководство пользователя "));
    setFont(windowFont(13));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    FormBuilder controls(this);
    btnBack = controls.button("btnBack", "Назад");
    btnHome = controls.button("btnHome", "Оглавление");
    edFind = new QLineEdit(this);
    edFind->setObjectName(QStringLiteral("edFind"));
    edFind->setPlaceholderText(QStringLiteral("Найти в руководстве"));
    edFind->setClearButtonEnabled(true);
    btnFind = controls.button("btnFind", "Найти далее");
    lblFound = new QLabel(this);
    row->addWidget(btnBack);
    row->addWidget(btnHome);
    row->addWidget(edFind, 1);
    row->addWidget(btnFind);
    row->addWidget(lblFound);
    layout->addLayout(row);
    TB1 = new QTextBrowser(this);
    TB1->setObjectName(QStringLiteral("TB1"));
    // Links within the guide stay here; a link out of it goes to the desktop.
    TB1->setOpenExternalLinks(true);
    layout->addWidget(TB1, 1);
    addCloseButtonRow(this, layout, btnClose);
    btnClose->setAutoDefault(false);
    btnClose->setDefault(false);
    connect(btnBack, &QPushButton::clicked, TB1, &QTextBrowser::backward);
    connect(btnHome, &QPushButton::clicked, TB1, &QTextBrowser::home);
    connect(TB1, &QTextBrowser::backwardAvailable, btnBack, &QPushButton::setEnabled);
    btnBack->setEnabled(false);
    connect(btnFind, &QPushButton::clicked, this, [this] { find(edFind->text()); });
    connect(edFind, &QLineEdit::returnPressed, this, [this] { find(edFind->text()); });
    connect(edFind, &QLineEdit::textChanged, lblFound, &QLabel::clear);
    resize(760, 560);
    // The user comes to look something up.
    edFind->setFocus();
}

bool TfrmGuide::openGuide(const QString& path) {
    if (!QFileInfo(path).isFile()) return false;
    TB1->setSearchPaths({QFileInfo(path).absolutePath()});
    TB1->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    return !TB1->document()->isEmpty();
}

bool TfrmGuide::find(const QString& text) {
    lblFound->clear();
    if (text.isEmpty()) return false;
    if (TB1->find(text)) return true;
    // Past the end: once more from the top.
    QTextCursor top = TB1->textCursor();
    top.movePosition(QTextCursor::Start);
    TB1->setTextCursor(top);
    if (TB1->find(text)) return true;
    lblFound->setText(QStringLiteral("Не найдено"));
    return false;
}

} // namespace kvado::ui
