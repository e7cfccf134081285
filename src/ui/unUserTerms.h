#pragma once
// Window «Решение исходной задачи» (TfrmUserTerms): the answer of the last solve in the terms
// of the model the problem was laid from (an LP or MPS file, or the model window), as the
// report's section of that name holds it.

#include <string>
#include <vector>

#include "ui/Form.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kvado::session {
class Session;
}

namespace kvado::ui {

class TfrmRanges;

class TfrmUserTerms : public Form {
    Q_OBJECT
public:
    explicit TfrmUserTerms(Toolkit& toolkit, QWidget* parent = nullptr);

    // Shows the section's lines modally.
    void showLines(const std::vector<std::string>& lines);
    // The sparse engine's optimum of `session`: its lines, the exact check's line with
    // «Проверить точно» while the check was not made, and «Анализ чувствительности» on the
    // engine's basis. The session must outlive the window.
    void showSparse(session::Session& session);
    QString text() const;

    // --- handlers ------------------------------------------------------------------------
    void btnExactClick();
    void btnRangesClick();

    QPlainTextEdit* MemoUserTerms;
    QLabel* lblExact;
    QPushButton* btnExact;
    QPushButton* btnRanges;
    QPushButton* btnClose;
    TfrmRanges* rangesWindow() const { return m_rangesWindow; }

private:
    void showExactLine();
    session::Session* m_session = nullptr;
    TfrmRanges* m_rangesWindow = nullptr;
    bool m_rangesReported = false;
};

} // namespace kvado::ui
