#pragma once
// The user guide inside the program (TfrmGuide, «Руководство пользователя»): the shipped HTML
// guide with its pictures and links, and a search field, so that F1 needs no web browser.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;

namespace kvado::ui {

class TfrmGuide : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGuide(QWidget* parent = nullptr);
    // Shows the guide at `path` (its pictures and links relative to it); false when it does
    // not open.
    bool openGuide(const QString& path);
    // Finds `text` after the cursor, from the top again past the end; says so when it is
    // nowhere. Returns whether it was found.
    bool find(const QString& text);

    QLineEdit* edFind;
    QPushButton* btnFind;
    QPushButton* btnBack;
    QPushButton* btnHome;
    QLabel* lblFound;
    QTextBrowser* TB1;
    QPushButton* btnClose;
};

} // namespace kvado::ui
