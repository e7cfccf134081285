#pragma once
// The log window: the trace log of the last solve, "Kvaq.log", as the user reads it. The log
// stays windows-1251 with CR LF on disk; the window decodes it, shows it read-only in a
// fixed-pitch font (its columns line up) and lets the user select and copy from it.

#include <QString>
#include <string>
#include <string_view>

#include "ui/Form.h"

class QPlainTextEdit;
class QPushButton;

namespace kvado::ui {

// A log larger than this is shown cut: its beginning and its end, where the outcome and the
// final state are, with a line in between saying how much was left out. The editor would
// take minutes and gigabytes for the log of a very large problem.
inline constexpr size_t kLogShownBytes = 16u << 20;

// The text the window shows for the log's bytes: decoded from windows-1251, "\n" line ends,
// cut as above when larger than `limit`.
QString logViewText(std::string_view bytes, size_t limit = kLogShownBytes);

class TfrmLog : public Form {
    Q_OBJECT
public:
    explicit TfrmLog(Toolkit& toolkit, QWidget* parent = nullptr);

    // Reads the log at `path` into the window and shows the window modally. A log that does
    // not exist (no solve has run in that folder yet) is said in a message instead; a log
    // that cannot be read is an error of the running command.
    void showLog(const QString& path);
    // Reads the log at `path` into the window without showing it.
    void loadLog(const QString& path);

    QString text() const;

    QPlainTextEdit* MemoLog;
    QPushButton* btnClose;
};

} // namespace kvado::ui
