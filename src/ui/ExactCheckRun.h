#pragma once
// The exact check the user asks for («Проверить точно»), shared by the results window and
// «Решение исходной задачи»: at any size, in a second thread behind a modal progress window
// whose «Прервать» stops it.

class QWidget;

namespace kvado::session {
class Session;
}

namespace kvado::ui {

class Toolkit;

// Runs the check and the exact solve it calls for; a check that ended is kept with its report
// section. Returns whether it was kept.
bool runExactCheckInWindow(Toolkit& toolkit, QWidget* parent, session::Session& session);

} // namespace kvado::ui
