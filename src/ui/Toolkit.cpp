#include "ui/Toolkit.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <new>
#include <stdexcept>

#include "base/DecimalSeparator.h"
#include "session/FileNames.h"

namespace kvado::ui {

std::optional<QString> chooseSaveFile(Toolkit& toolkit, FileDialogOptions options) {
    int filter = -1;
    int* caller = options.chosenFilter;
    options.chosenFilter = &filter;
    const std::optional<QString> chosen = toolkit.saveFileDialog(options);
    if (caller != nullptr) *caller = filter;
    // A file picked as it exists (a name without an extension, a device) is the user's choice.
    if (!chosen || QFileInfo::exists(*chosen)) return chosen;
    return QString::fromStdString(
        session::withFilterExtension(chosen->toStdString(), options.filter.toStdString(), filter));
}

char systemDecimalSeparator() {
    return decimalSeparatorFrom(QLocale::system().decimalPoint().toStdString());
}

QString errorReportText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        // ConversionError, FileError and ProblemSizeError carry the text the user reads.
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

QStringList helpFileCandidates(const QString& programFolder) {
    const QDir dir(programFolder);
    return {QDir::cleanPath(dir.filePath(QStringLiteral("../share/kvado/")) + QLatin1Char('/') +
                            QLatin1String(kHelpFileName)),
            QDir::cleanPath(dir.filePath(QLatin1String(kHelpFileName)))};
}

QString findHelpFile(const QStringList& candidates) {
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile()) return path;
    return {};
}

QString helpFileNotFoundText(const QStringList& candidates) {
    QString text = QStringLiteral("Файл справки ") + QLatin1String(kHelpFileName) +
                   QStringLiteral(" не найден.\r\nОн искался здесь:");
    for (const QString& path : candidates)
        text += QStringLiteral("\r\n") + path;
    return text;
}

QStringList userGuideCandidates(const QString& programFolder) {
    const QDir dir(programFolder);
    const QString name = QStringLiteral("help/") + QLatin1String(kUserGuideFileName);
    return {QDir::cleanPath(dir.filePath(QStringLiteral("../share/kvado/") + name)),
            QDir::cleanPath(dir.filePath(name))};
}

QStringList examplesFolderCandidates(const QString& programFolder) {
    const QDir dir(programFolder);
    return {QDir::cleanPath(dir.filePath(QStringLiteral("../share/kvado/examples"))),
            QStringLiteral(KVADO_SOURCE_EXAMPLES)};
}

QString findExamplesFolder(const QStringList& candidates) {
    for (const QString& path : candidates)
        if (QFileInfo(path).isDir()) return path;
    return {};
}

QString findHelpTarget(const QStringList& helpFiles, const QStringList& guides) {
    const QString helpFile = findHelpFile(helpFiles);
    return helpFile.isEmpty() ? findHelpFile(guides) : helpFile;
}

QString helpNotFoundText(const QStringList& helpFiles, const QStringList& guides) {
    QString text = helpFileNotFoundText(helpFiles);
    if (guides.isEmpty()) return text;
    text += QStringLiteral("\r\nРуководство пользователя тоже не найдено:");
    for (const QString& path : guides)
        text += QStringLiteral("\r\n") + path;
    return text;
}

} // namespace kvado::ui
