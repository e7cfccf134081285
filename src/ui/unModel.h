#pragma once
// Model window (TfrmModel, «Модель»): the current problem as LP text in an editor with line
// numbers. «Применить» reads the text and lays it into the main window's edits and grid through
// the transformation to the standard form; «Решить» applies and solves. A text that does not
// read marks its line and shows the reader's message under the editor.

#include <QPlainTextEdit>

#include "session/Session.h"
#include "ui/Form.h"

class QLabel;
class QPushButton;

namespace kvado::ui {

// What the model window asks of the main window, besides the session: the edits as typed, and
// the main window's own following of a model laid in (its edits, «Решить», status bar).
class ModelWindowHost {
public:
    virtual ~ModelWindowHost() = default;
    virtual session::EditTexts editTexts() const = 0;
    // «Применить» laid the text into the input.
    virtual void modelApplied(const session::ModelOpen& laid) = 0;
    // «Решить», after the text was laid in: the input solved as «Решение» would.
    virtual void solveApplied() = 0;
};

// A plain text editor with the numbers of its lines in a margin at the left, and one line that
// can be marked (a reader's error).
class ModelEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ModelEditor(QWidget* parent = nullptr);
    // Marks line `line` (1-based) and puts the cursor at its start; 0 clears the mark.
    void markLine(int line);
    int markedLine() const { return m_marked; }
    int lineNumberWidth() const;
    void paintLineNumbers(QPaintEvent* event);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_numbers;
    int m_marked = 0;
};

class TfrmModel : public Form {
    Q_OBJECT
public:
    TfrmModel(Toolkit& toolkit, session::Session& session, ModelWindowHost& host,
              QWidget* parent = nullptr);

    // Fills the editor with the current problem as LP text and shows the window modally.
    void showModel();
    // The editor's text: the linked model, else the problem of the edits and the grid; when
    // those do not convert, the editor is left empty and the message says why.
    void loadModelText();

    // --- handlers ------------------------------------------------------------------------
    // Returns whether the text was laid into the grid.
    bool btnApplyClick();
    void btnSolveClick();

    // --- controls ------------------------------------------------------------------------
    ModelEditor* edModel;
    QLabel* lblMessage;
    QPushButton* btnApply;
    QPushButton* btnSolve;
    QPushButton* btnClose;

private:
    void showMessageLine(const QString& text, bool error);
    session::Session& m_session;
    ModelWindowHost& m_host;
};

} // namespace kvado::ui
