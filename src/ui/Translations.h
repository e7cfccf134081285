#pragma once
// Qt's own texts (file dialogs, the buttons of message boxes, context menus) in Russian, like
// every text of the program, whatever the locale it runs under.

class QCoreApplication;
class QTranslator;

namespace kvado::ui {

// Qt's Russian translation, as Debian's qt6-translations-l10n installs it in Qt's
// translations folder.
inline constexpr const char* kQtRussianTranslation = "qtbase_ru";

// Loads Qt's Russian translation and installs it in `app`, which owns it. nullptr when it is
// not installed on this machine; Qt's texts then stay English.
QTranslator* installQtRussian(QCoreApplication& app);

} // namespace kvado::ui
