#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kvado::ui {

QTranslator* installQtRussian(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLatin1String(kQtRussianTranslation),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace kvado::ui
