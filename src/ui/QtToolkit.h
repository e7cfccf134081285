#pragma once
// The toolkit of the program: Qt message boxes and file dialogs, the desktop's help viewer
// (or its browser, for the user guide).

#include "ui/Toolkit.h"

namespace kvado::ui {

class QtToolkit : public Toolkit {
public:
    // `helpFiles`: where F1 looks for the help file, in order.
    explicit QtToolkit(QStringList helpFiles = {}) : m_helpFiles(std::move(helpFiles)) {}
    void setHelpFiles(QStringList helpFiles) { m_helpFiles = std::move(helpFiles); }
    // Where F1 looks for the user guide when no help file exists, in order.
    void setUserGuides(QStringList guides) { m_guides = std::move(guides); }

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    std::optional<QString> openFileDialog(const FileDialogOptions& options) override;
    std::optional<QString> saveFileDialog(const FileDialogOptions& options) override;
    void requestExit() override;
    void showHelp() override;
    void showModal(QDialog& window) override;
    SaveAnswer askToSave(const QString& text) override;
    bool askYesNo(const QString& text) override;
    bool choosePrinter(QPrinter& printer) override;

    // "Отчеты|*.rtf|Все файлы|*.*" as a Qt name filter list.
    static QStringList nameFilters(const QString& filter);

private:
    QStringList m_helpFiles;
    QStringList m_guides;
};

} // namespace kvado::ui
