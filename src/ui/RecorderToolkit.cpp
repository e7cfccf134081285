#include "ui/RecorderToolkit.h"

#include <QPrinter>
#include <utility>

#include <QDialog>
#include <algorithm>

namespace kvado::ui {

void RecorderToolkit::showMessage(const QString& text) {
    m_entries.push_back({Kind::Message, text});
}

void RecorderToolkit::showError(const QString& text) {
    m_entries.push_back({Kind::Error, text});
}

std::optional<QString> RecorderToolkit::openFileDialog(const FileDialogOptions& options) {
    return answer(Kind::OpenDialog, options);
}

std::optional<QString> RecorderToolkit::saveFileDialog(const FileDialogOptions& options) {
    return answer(Kind::SaveDialog, options);
}

std::optional<QString> RecorderToolkit::answer(Kind kind, const FileDialogOptions& options) {
    m_entries.push_back({kind, options.title});
    m_dialogs.push_back(options);
    if (m_answers.empty()) {
        ++m_unanswered;
        return {};
    }
    // A cancel and a path are returned apart: GCC's optimiser takes a moved optional<QString>
    // for one that may be uninitialised and warns.
    const bool cancelled = !m_answers.front().first.has_value();
    const QString path = cancelled ? QString() : *m_answers.front().first;
    if (options.chosenFilter != nullptr) *options.chosenFilter = m_answers.front().second;
    m_answers.pop_front();
    if (cancelled) return std::nullopt;
    return path;
}

Toolkit::SaveAnswer RecorderToolkit::askToSave(const QString& text) {
    m_entries.push_back({Kind::Question, text});
    if (m_saveAnswers.empty()) return SaveAnswer::Discard;
    const SaveAnswer answer = m_saveAnswers.front();
    m_saveAnswers.pop_front();
    return answer;
}

bool RecorderToolkit::askYesNo(const QString& text) {
    m_entries.push_back({Kind::Question, text});
    if (m_yesNoAnswers.empty()) return false;
    const bool yes = m_yesNoAnswers.front();
    m_yesNoAnswers.pop_front();
    return yes;
}

void RecorderToolkit::requestExit() {
    m_entries.push_back({Kind::Exit, {}});
}

void RecorderToolkit::showHelp() {
    m_entries.push_back({Kind::Help, {}});
}

void RecorderToolkit::showModal(QDialog& window) {
    m_entries.push_back({Kind::Modal, window.objectName()});
    if (m_modalAction) {
        // A modal window is visible while it runs; the action may look at it as such.
        window.setVisible(true);
        m_modalAction(window);
        window.setVisible(false);
    }
}

QStringList RecorderToolkit::texts(Kind kind) const {
    QStringList result;
    for (const Entry& e : m_entries)
        if (e.kind == kind) result << e.text;
    return result;
}

bool RecorderToolkit::exitRequested() const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [](const Entry& e) { return e.kind == Kind::Exit; });
}

bool RecorderToolkit::choosePrinter(QPrinter& printer) {
    m_entries.push_back({Kind::Print, {}});
    if (m_printPath.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(std::exchange(m_printPath, QString()));
    return true;
}

void RecorderToolkit::answerFileDialog(std::optional<QString> pathOrCancel, int filter) {
    m_answers.emplace_back(std::move(pathOrCancel), filter);
}

const char* RecorderToolkit::kindName(Kind kind) {
    switch (kind) {
    case Kind::Message:
        return "message";
    case Kind::Error:
        return "error";
    case Kind::OpenDialog:
        return "open dialog";
    case Kind::SaveDialog:
        return "save dialog";
    case Kind::Exit:
        return "exit";
    case Kind::Help:
        return "help";
    case Kind::Question:
        return "question";
    case Kind::Modal:
        return "modal";
    case Kind::Print:
        return "print";
    }
    return "?";
}

} // namespace kvado::ui
