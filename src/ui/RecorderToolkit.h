#pragma once
// A toolkit for tests: it keeps, in order, every text a user would have seen, answers the
// file dialogs from prepared answers and never blocks.

#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "ui/Toolkit.h"

namespace kvado::ui {

class RecorderToolkit : public Toolkit {
public:
    enum class Kind { Message, Error, OpenDialog, SaveDialog, Exit, Help, Modal, Question, Print };
    struct Entry {
        Kind kind;
        // The message, the dialog's title or the modal window's objectName(); empty for Exit
        // and Help.
        QString text;
        bool operator==(const Entry&) const = default;
    };

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    std::optional<QString> openFileDialog(const FileDialogOptions& options) override;
    std::optional<QString> saveFileDialog(const FileDialogOptions& options) override;
    void requestExit() override;
    void showHelp() override;
    void showModal(QDialog& window) override;
    // Recorded as a Question; answered from answerSaveQuestion(), else Discard (what the
    // program did before it asked).
    SaveAnswer askToSave(const QString& text) override;
    void answerSaveQuestion(SaveAnswer answer) { m_saveAnswers.push_back(answer); }
    // Recorded as a Question; answered from answerYesNo(), else no.
    bool askYesNo(const QString& text) override;
    void answerYesNo(bool yes) { m_yesNoAnswers.push_back(yes); }
    // Recorded as Print; answered by printing into the PDF file `path`, once; else cancelled.
    bool choosePrinter(QPrinter& printer) override;
    void answerPrintToPdf(const QString& path) { m_printPath = path; }

    const std::vector<Entry>& entries() const { return m_entries; }
    // The texts of the entries of one kind, in order.
    QStringList texts(Kind kind) const;
    void clear() { m_entries.clear(); }
    bool exitRequested() const;

    // The answer of the next file dialog: a full path, or nullopt for a cancel, and the index
    // of the filter chosen in it (-1: none). A dialog with no answer prepared is cancelled and
    // counted in unansweredDialogs().
    void answerFileDialog(std::optional<QString> pathOrCancel, int filter = -1);
    int unansweredDialogs() const { return m_unanswered; }
    // The options of every file dialog shown, in order.
    const std::vector<FileDialogOptions>& fileDialogs() const { return m_dialogs; }

    // Runs inside showModal(), as if the user worked in the modal window, until it returns.
    void setModalAction(std::function<void(QDialog&)> action) { m_modalAction = std::move(action); }

    static const char* kindName(Kind kind);

private:
    std::optional<QString> answer(Kind kind, const FileDialogOptions& options);

    std::vector<Entry> m_entries;
    std::deque<std::pair<std::optional<QString>, int>> m_answers;
    std::vector<FileDialogOptions> m_dialogs;
    std::function<void(QDialog&)> m_modalAction;
    int m_unanswered = 0;
    std::deque<SaveAnswer> m_saveAnswers;
    std::deque<bool> m_yesNoAnswers;
    QString m_printPath;
};

} // namespace kvado::ui
