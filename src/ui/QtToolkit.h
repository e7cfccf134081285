#pragma once
// The toolkit of the program: Qt message boxes and file dialogs, the desktop's help viewer.

#include "ui/Toolkit.h"

namespace kvado::ui {

class QtToolkit : public Toolkit {
public:
    // `helpFiles`: where F1 looks for the help file, in order.
    explicit QtToolkit(QStringList helpFiles = {}) : m_helpFiles(std::move(helpFiles)) {}
    void setHelpFiles(QStringList helpFiles) { m_helpFiles = std::move(helpFiles); }

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    std::optional<QString> openFileDialog(const FileDialogOptions& options) override;
    std::optional<QString> saveFileDialog(const FileDialogOptions& options) override;
    void requestExit() override;
    void showHelp() override;
    void showModal(QDialog& window) override;

    // "Отчеты|*.rtf|Все файлы|*.*" as a Qt name filter list.
    static QStringList nameFilters(const QString& filter);

private:
    QStringList m_helpFiles;
};

} // namespace kvado::ui
