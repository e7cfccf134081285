// Start-up: the application (Qt's texts in Russian, the icon), its help file and user guide,
// its six windows in their order, the event loop.

#include <QApplication>
#include <QIcon>
#include <exception>

#include "session/Session.h"
#include "solver/LpProblem.h"
#include "ui/QtToolkit.h"
#include "ui/Translations.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/unGenData.h"
#include "ui/unResults2.h"
#include "ui/unZastav.h"

namespace {

// The last net under the command guards: whatever escapes an event handler is reported and
// the event loop goes on.
class Application : public QApplication {
public:
    Application(int& argc, char** argv, kvado::ui::Toolkit& toolkit)
        : QApplication(argc, argv), m_toolkit(toolkit) {}
    bool notify(QObject* receiver, QEvent* event) override {
        bool handled = false;
        kvado::ui::runCommand(m_toolkit, [&] { handled = QApplication::notify(receiver, event); });
        return handled;
    }

private:
    kvado::ui::Toolkit& m_toolkit;
};

// The icon the desktop entry names, for the windows' captions and the task bar.
QIcon programIcon() {
    QIcon icon;
    for (const char* size : {"32", "64", "256"})
        icon.addFile(QStringLiteral(":/icons/kvado-%1.png").arg(QLatin1String(size)));
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    using namespace kvado::ui;
    // The help file's folder is known only once the application knows where it runs from.
    QtToolkit toolkit;
    Application app(argc, argv, toolkit);
    QApplication::setApplicationName(QStringLiteral("kvado"));
    QApplication::setDesktopFileName(QStringLiteral("kvado"));
    Q_INIT_RESOURCE(kvado); // the icons live in the static kvado_ui library
    QApplication::setWindowIcon(programIcon());
    installQtRussian(app);
    toolkit.setHelpFiles(helpFileCandidates(QApplication::applicationDirPath()));
    toolkit.setUserGuides(userGuideCandidates(QApplication::applicationDirPath()));

    // The problem record and the session that works on it outlive every window.
    kvado::LpProblem problem;
    kvado::session::Session session(problem);
    TForm1 form1(toolkit, session);
    TForm1::Windows windows;
    windows.results = new TResults(toolkit, form1.session().report(), &form1);
    windows.help = new TForm2(toolkit, &form1);
    windows.results2 = new TfrmResults2(toolkit, form1.session().results(), &form1);
    windows.zastav = new TfrmZastav(toolkit, &form1);
    windows.genData = new TfrmGenData(toolkit, &form1);
    form1.attachWindows(windows);

    form1.show();
    return app.exec();
}
