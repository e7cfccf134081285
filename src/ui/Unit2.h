#pragma once
// Help window (TForm2, «Справка», the menu's «Описание»): the standard form in which a problem
// is written into the input grid, a picture of it and an explanation loaded from "Kvado.txt".

#include <QStringList>
#include <optional>

#include "ui/Form.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kvado::ui {

// The help text file, in the current folder at start-up.
inline constexpr const char* kHelpTextFileName = "Kvado.txt";

// Where the help text file is looked for, in order: the current folder (the bare name), next
// to the program, and the program's data folder (<folder of the program>/../share/kvado),
// where the installed program keeps it, so that a start from the desktop menu finds it.
QStringList helpTextCandidates(const QString& programFolder);
// The first candidate that exists; the first one when none does, so that the error report
// names the file as the user knows it.
QString findHelpText(const QStringList& candidates);

// The explanation the window shows when the help text file cannot be read.
QStringList builtInHelpLines();

class TForm2 : public Form {
    Q_OBJECT
public:
    // Creation runs FormCreate(): an unreadable help text file is reported then, through the
    // error report, and the built-in text stays.
    // `helpTextFiles`: helpTextCandidates() for the running program when not given.
    explicit TForm2(Toolkit& toolkit, QWidget* parent = nullptr,
                    std::optional<QStringList> helpTextFiles = std::nullopt);

    // Replaces the memo's lines with those of the help text file.
    void FormCreate();

    // The memo's lines as the user sees them.
    QStringList memoLines() const;

    QLabel* StaticText1;
    QLabel* Image1;
    QPlainTextEdit* Memo1;
    QPushButton* BitBtn1;

private:
    void setMemoLines(const QStringList& lines);

    QStringList m_helpTextFiles;
};

} // namespace kvado::ui
