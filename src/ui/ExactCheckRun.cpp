#include "ui/ExactCheckRun.h"

#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <exception>
#include <thread>

#include "session/Session.h"
#include "ui/Toolkit.h"

namespace kvado::ui {

bool runExactCheckInWindow(Toolkit& toolkit, QWidget* parent, session::Session& session) {
    std::atomic<bool> cancel{false}, done{false};
    session::ExactCheck check;
    QProgressDialog progress(QStringLiteral("Точная проверка решения..."),
                             QStringLiteral("Прервать"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("dlgExactCheck"));
    progress.setWindowTitle(QStringLiteral("Проверить точно"));
    progress.setMinimumDuration(0);
    // «Прервать», Escape or closing the window stop the check.
    QObject::connect(&progress, &QProgressDialog::canceled, parent, [&cancel] { cancel = true; });
    QObject::connect(&progress, &QDialog::rejected, parent, [&cancel] { cancel = true; });
    // The check only reads the problem; this thread waits in the progress window meanwhile.
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            check = session.runExactCheck(&cancel);
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
        if (done) progress.accept();
    });
    poll.start(50);
    toolkit.showModal(progress);
    // Closed by the end of the check or by a stop, which the check sees within its slice.
    worker.join();
    if (failure) std::rethrow_exception(failure);
    return session.acceptExactCheck(std::move(check));
}

} // namespace kvado::ui
