#pragma once
// What the windows ask of the desktop besides their own controls: message boxes, file
// dialogs, the error report, the end of the application, help and modal display. Every window
// goes through one Toolkit, so the program uses Qt (QtToolkit) and the tests a recorder
// (RecorderToolkit) that keeps every text the user would have seen and never blocks.

#include <QObject>
#include <QString>
#include <QStringList>
#include <exception>
#include <optional>
#include <utility>

class QDialog;
class QPrinter;

namespace kvado::ui {

struct FileDialogOptions {
    QString title;
    // Pairs of description and pattern, separated by "|": "Отчеты|*.rtf|Все файлы|*.*".
    QString filter;
    QString defaultExt; // without the dot; empty: none
    QString initialDir;
    QString fileName;
    // Where the dialog puts the filter the user chose, as the index of its pair in `filter`
    // (-1: none known); null: not asked.
    int* chosenFilter = nullptr;
};

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // A modal message box with an OK button; "\r\n" or "\n" break its lines.
    virtual void showMessage(const QString& text) = 0;
    // The general error report: the message of an error that ended a command.
    virtual void showError(const QString& text) = 0;
    // The chosen file's full path, or nullopt when the user cancelled.
    virtual std::optional<QString> openFileDialog(const FileDialogOptions& options) = 0;
    virtual std::optional<QString> saveFileDialog(const FileDialogOptions& options) = 0;
    // Ends the application when control is back in the event loop: the running command still
    // runs to its end.
    virtual void requestExit() = 0;
    // F1: topic 1 of the help file.
    virtual void showHelp() = 0;
    // Shows the window modally and returns when it is closed. Its objectName() names it.
    virtual void showModal(QDialog& window) = 0;
    // Work not yet saved would be lost: save it first, discard it, or stay.
    enum class SaveAnswer { Save, Discard, Cancel };
    virtual SaveAnswer askToSave(const QString& text) = 0;
    // A question with "Да" and "Нет"; true: yes.
    virtual bool askYesNo(const QString& text) = 0;
    // The print dialog: true when the user chose a printer (set up in `printer`) and pressed
    // «Печать».
    virtual bool choosePrinter(QPrinter& printer) = 0;
};

// The save dialog, then the extension of the filter chosen in it added to a name typed
// without one (session::withFilterExtension); `options.chosenFilter`, when set, gets the
// filter's index as the dialog gave it.
std::optional<QString> chooseSaveFile(Toolkit& toolkit, FileDialogOptions options);

// The decimal separator of the user's regional settings, "." when it is not one ASCII
// character.
char systemDecimalSeparator();

// The text the error report shows for an exception: its message, "Out of memory" for
// std::bad_alloc.
QString errorReportText(const std::exception_ptr& error);

// Runs one user command. An error it does not handle itself (a conversion, file or size
// error, running out of memory, any std::exception) ends the command and is shown by the
// error report; nothing is thrown back into the event loop.
template <class F> void runCommand(Toolkit& toolkit, F&& command) noexcept {
    try {
        std::forward<F>(command)();
    } catch (...) {
        try {
            toolkit.showError(errorReportText(std::current_exception()));
        } catch (...) {
            // Nothing is left to show it with; the event loop goes on.
        }
    }
}

// Connects a signal to a command run by runCommand().
template <class Sender, class Signal, class F>
QMetaObject::Connection connectCommand(Sender* sender, Signal signal, QObject* context,
                                       Toolkit& toolkit, F command) {
    return QObject::connect(sender, signal, context, [&toolkit, command = std::move(command)] {
        runCommand(toolkit, command);
    });
}

// The help file "PRIMER.HLP" is looked for in the program's data folder
// (<folder of the program>/../share/kvado) and then next to the program.
inline constexpr const char* kHelpFileName = "PRIMER.HLP";
QStringList helpFileCandidates(const QString& programFolder);
// The first candidate that exists, or an empty text.
QString findHelpFile(const QStringList& candidates);
QString helpFileNotFoundText(const QStringList& candidates);

// Without a help file F1 opens the user guide shipped with the program, a Russian HTML page,
// in the desktop's browser. It is looked for in the program's data folder
// (<folder of the program>/../share/kvado/help) and then in help/ next to the program.
inline constexpr const char* kUserGuideFileName = "index.html";
QStringList userGuideCandidates(const QString& programFolder);
// The examples: the program's data folder (<folder of the program>/../share/kvado/examples),
// then the examples/ of the source tree it was built from; the first that exists, or empty.
QStringList examplesFolderCandidates(const QString& programFolder);
QString findExamplesFolder(const QStringList& candidates);

// What F1 opens: the first help file that exists, else the first guide that exists, else an
// empty text.
QString findHelpTarget(const QStringList& helpFiles, const QStringList& guides);
// The message when neither exists: where both were looked for.
QString helpNotFoundText(const QStringList& helpFiles, const QStringList& guides);

} // namespace kvado::ui
