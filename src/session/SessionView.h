#pragma once
// What the session needs of whoever shows it: the windows implement it with their progress
// bar, message boxes and error report; kvado-cli and the tests with their own (or not at all).

#include <cstdint>
#include <string>

namespace kvado::session {

class SessionView {
public:
    virtual ~SessionView() = default;
    // The progress bar. A position above the maximum shows a full bar.
    virtual void setProgressMaximum(int32_t) {}
    virtual void setProgressPosition(int32_t) {}
    // A modal message box; "\r\n" separates its lines.
    virtual void showMessage(const std::string& /*utf8*/) {}
    // The general error report, which ends the command.
    virtual void showError(const std::string& /*utf8*/) {}
    // The report was emptied: whatever showed it (the user's own edits too) is emptied.
    virtual void reportCleared() {}
    // Paragraphs were appended at the end of the report.
    virtual void reportAppended() {}
    // The objective's value or name in the results changed (the grids follow their models).
    virtual void resultTextsChanged() {}
    // Asked between the solve's passes: true ends the solve at the end of the current pass.
    // A window lets its events through here, so that it repaints and its stop command works.
    virtual bool stopRequested() { return false; }
    // The solver starts (true) and has ended (false), whatever the outcome.
    virtual void solveRunning(bool) {}
    // A file read whole, or LP text that reads, is about to replace typed work not yet
    // written (Session::workTyped()): true lets it (the view may write the work first),
    // false keeps the work and changes nothing.
    virtual bool replaceTypedWork() { return true; }
};

// Tells the view that a solve runs (a window then lets only «Прервать» through), however the
// solve ends.
class SolveRunning {
public:
    explicit SolveRunning(SessionView* view) : m_view(view) {
        if (m_view) m_view->solveRunning(true);
    }
    ~SolveRunning() {
        if (m_view) m_view->solveRunning(false);
    }
    SolveRunning(const SolveRunning&) = delete;
    SolveRunning& operator=(const SolveRunning&) = delete;

private:
    SessionView* m_view;
};

} // namespace kvado::session
