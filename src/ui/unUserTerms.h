#pragma once
// Window «Решение исходной задачи» (TfrmUserTerms): the answer of the last solve in the terms
// of the model the problem was laid from (an LP or MPS file, or the model window), as the
// report's section of that name holds it.

#include <string>
#include <vector>

#include "ui/Form.h"

class QPlainTextEdit;
class QPushButton;

namespace kvado::ui {

class TfrmUserTerms : public Form {
    Q_OBJECT
public:
    explicit TfrmUserTerms(Toolkit& toolkit, QWidget* parent = nullptr);

    // Shows the section's lines modally.
    void showLines(const std::vector<std::string>& lines);
    QString text() const;

    QPlainTextEdit* MemoUserTerms;
    QPushButton* btnClose;
};

} // namespace kvado::ui
