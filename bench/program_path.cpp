// The program's own road, headless: a generated problem opened in the real main window (data
// file read into the grid), solved (grid transfer, solve, results grids, check) and shown in
// the results and report windows. Prints the seconds of each step for N x N problems.
//
//   program_path [N ...]        default: 500 1000

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "datafile/Generator.h"
#include "solver/LpProblem.h"
#include "ui/RecorderToolkit.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/unGenData.h"
#include "ui/unResults2.h"
#include "ui/unZastav.h"

using namespace kvado;
using namespace kvado::ui;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int k = 1; k < argc; ++k) sizes.push_back(std::atoi(argv[k]));
    if (sizes.empty()) sizes = {500, 1000};

    std::puts("| N x L | open s | solve and show s | report window s | total s | messages |");
    std::puts("|---|---|---|---|---|---|");
    for (const int n : sizes) {
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const std::string ns = std::to_string(n);
        datafile::writeGeneratedFiles(datafile::generateProblem({n, n}, ns, ns, "1E-5", 42));

        RecorderToolkit toolkit;
        LpProblem problem;
        session::Session session(problem);
        TForm1 form(toolkit, session);
        TForm1::Windows w;
        w.results = new TResults(toolkit, form.session().report(), &form);
        w.help = new TForm2(toolkit, &form);
        w.results2 = new TfrmResults2(toolkit, form.session().results(), &form);
        w.zastav = new TfrmZastav(toolkit, &form);
        w.genData = new TfrmGenData(toolkit, &form);
        form.attachWindows(w);
        form.setDecimalSeparator(',');
        // The report window is opened from the results window while it is shown.
        double reportSeconds = 0;
        toolkit.setModalAction([&](QDialog& window) {
            if (&window != static_cast<QDialog*>(w.results2)) return;
            QElapsedTimer r;
            r.start();
            w.results2->btnText->click();
            reportSeconds = r.nsecsElapsed() * 1e-9;
        });

        toolkit.answerFileDialog(dir.filePath(QStringLiteral("BigData.dat")));
        QElapsedTimer t;
        t.start();
        form.idFileOpenClick();
        const double open = t.nsecsElapsed() * 1e-9;
        t.restart();
        form.btnSolve->click();
        const double solve = t.nsecsElapsed() * 1e-9 - reportSeconds;
        std::printf("| %d x %d | %.3f | %.3f | %.3f | %.3f | %d |\n", n, n, open, solve,
                    reportSeconds, open + solve + reportSeconds,
                    static_cast<int>(toolkit.entries().size()));
        for (const auto& e : toolkit.entries())
            std::printf("  %s: %s\n", RecorderToolkit::kindName(e.kind),
                        e.text.left(120).toUtf8().constData());
        QDir::setCurrent(old);
    }
    return 0;
}
