#include "ui/QtToolkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

#include "ui/unGuide.h"

namespace kvado::ui {

namespace {

// The windows' captions name what they do; a box carries the program's name.
QString boxTitle() {
    return QStringLiteral("Kvado");
}

// Texts of the program break their lines with "\r\n"; a Qt box wants "\n" alone.
QString plainLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void showBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, boxTitle(), plainLines(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

std::optional<QString> runFileDialog(const FileDialogOptions& options, bool save) {
    QFileDialog dialog(QApplication::activeWindow(), options.title, options.initialDir);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open command itself says when a chosen file does not exist.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = QtToolkit::nameFilters(options.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!options.defaultExt.isEmpty()) dialog.setDefaultSuffix(options.defaultExt);
    if (!options.fileName.isEmpty()) dialog.selectFile(options.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    if (options.chosenFilter != nullptr)
        *options.chosenFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return dialog.selectedFiles().constFirst();
}

} // namespace

QStringList QtToolkit::nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

void QtToolkit::showMessage(const QString& text) {
    showBox(QMessageBox::NoIcon, text);
}

void QtToolkit::showError(const QString& text) {
    showBox(QMessageBox::Critical, text);
}

std::optional<QString> QtToolkit::openFileDialog(const FileDialogOptions& options) {
    return runFileDialog(options, false);
}

std::optional<QString> QtToolkit::saveFileDialog(const FileDialogOptions& options) {
    return runFileDialog(options, true);
}

void QtToolkit::requestExit() {
    // Queued, so that it is seen only once the running command has returned to the event
    // loop.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void QtToolkit::showHelp() {
    const QString path = findHelpTarget(m_helpFiles, m_guides);
    if (path.isEmpty()) {
        showMessage(helpNotFoundText(m_helpFiles, m_guides));
        return;
    }
    // The help file goes to the desktop's help viewer; the guide is shown here, so that F1
    // needs no browser.
    if (!findHelpFile(m_helpFiles).isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            showMessage(QStringLiteral("Не удалось открыть файл справки\r\n") + path);
        return;
    }
    TfrmGuide guide(QApplication::activeWindow());
    if (!guide.openGuide(path)) {
        showMessage(QStringLiteral("Не удалось открыть файл справки\r\n") + path);
        return;
    }
    guide.exec();
}

bool QtToolkit::choosePrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

void QtToolkit::showModal(QDialog& window) {
    window.exec();
}

Toolkit::SaveAnswer QtToolkit::askToSave(const QString& text) {
    QMessageBox box(QMessageBox::Question, boxTitle(), plainLines(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Save);
    box.button(QMessageBox::Save)->setText(QStringLiteral("Записать"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Не записывать"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

bool QtToolkit::askYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, boxTitle(), plainLines(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    return box.exec() == QMessageBox::Yes;
}

} // namespace kvado::ui
