#include "ui/unModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "ui/FormBuilder.h"

namespace kvado::ui {

namespace {

// The margin beside the editor; the editor paints it.
class LineNumbers : public QWidget {
public:
    explicit LineNumbers(ModelEditor* editor) : QWidget(editor), m_editor(editor) {}
    QSize sizeHint() const override { return {m_editor->lineNumberWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { m_editor->paintLineNumbers(event); }

private:
    ModelEditor* m_editor;
};

} // namespace

ModelEditor::ModelEditor(QWidget* parent)
    : QPlainTextEdit(parent), m_numbers(new LineNumbers(this)) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(fontOrFallback({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                            QStringLiteral("Courier New")},
                           13, true));
    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(lineNumberWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0)
            m_numbers->scroll(0, dy);
        else
            m_numbers->update(0, rect.y(), m_numbers->width(), rect.height());
    });
    // Any typing takes the mark away: the message under the editor was about the old text.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_marked != 0) markLine(0);
    });
    setViewportMargins(lineNumberWidth(), 0, 0, 0);
}

int ModelEditor::lineNumberWidth() const {
    int digits = 1;
    for (int n = std::max(1, blockCount()); n >= 10; n /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3);
}

void ModelEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect r = contentsRect();
    m_numbers->setGeometry(QRect(r.left(), r.top(), lineNumberWidth(), r.height()));
}

void ModelEditor::paintLineNumbers(QPaintEvent* event) {
    QPainter painter(m_numbers);
    painter.fillRect(event->rect(), QColor(236, 236, 236));
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int right = m_numbers->width() - 4;
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        if (block.isVisible() && top + height >= event->rect().top()) {
            const int line = block.blockNumber() + 1;
            painter.setPen(line == m_marked ? QColor(192, 0, 0) : QColor(110, 110, 110));
            painter.drawText(0, top, right, fontMetrics().height(), Qt::AlignRight,
                             QString::number(line));
        }
        block = block.next();
        top += height;
    }
}

void ModelEditor::markLine(int line) {
    m_marked = 0;
    QList<QTextEdit::ExtraSelection> marks;
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (line > 0 && block.isValid()) {
        m_marked = line;
        QTextEdit::ExtraSelection mark;
        mark.format.setBackground(QColor(255, 210, 210));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        mark.cursor = QTextCursor(block);
        marks << mark;
        // The cursor goes to the line without a change of the text, so the mark stays.
        const QSignalBlocker quiet(this);
        setTextCursor(QTextCursor(block));
        centerCursor();
    }
    setExtraSelections(marks);
    m_numbers->update();
}

TfrmModel::TfrmModel(Toolkit& toolkit, session::Session& session, ModelWindowHost& host,
                     QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmModel",
            .caption = QStringLiteral("  Модель"),
            .clientSize = QSize(640, 480)},
           parent),
      m_session(session), m_host(host) {
    edModel = new ModelEditor(this);
    edModel->setObjectName(QStringLiteral("edModel"));
    FormBuilder controls(this);
    lblMessage = controls.label("lblMessage");
    lblMessage->setWordWrap(true);
    lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);

    btnApply = controls.button("btnApply", "Применить");
    btnSolve = controls.button("btnSolve", "Решить");
    btnClose = controls.button("btnClose", "Закрыть");
    connectCommand(btnApply, &QPushButton::clicked, this, m_toolkit, [this] { btnApplyClick(); });
    connectCommand(btnSolve, &QPushButton::clicked, this, m_toolkit, [this] { btnSolveClick(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edModel, 1);
    layout->addWidget(lblMessage);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnApply);
    buttons->addWidget(btnSolve);
    buttons->addStretch();
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
}

void TfrmModel::showMessageLine(const QString& text, bool error) {
    QPalette palette = lblMessage->palette();
    palette.setColor(QPalette::WindowText, error ? QColor(192, 0, 0) : QColor(0, 0, 128));
    lblMessage->setPalette(palette);
    lblMessage->setText(text);
}

void TfrmModel::loadModelText() {
    std::string error;
    const std::optional<std::string> text = m_session.modelText(m_host.editTexts(), error);
    edModel->setPlainText(text ? QString::fromStdString(*text) : QString());
    edModel->markLine(0);
    showMessageLine(text ? QString() : QString::fromStdString(error), !text);
}

void TfrmModel::showModel() {
    loadModelText();
    m_toolkit.showModal(*this);
}

bool TfrmModel::btnApplyClick() {
    const session::ModelOpen laid = m_session.applyModelText(edModel->toPlainText().toStdString());
    if (laid.opened) m_host.modelApplied(laid);
    if (!laid.opened) {
        edModel->markLine(static_cast<int>(laid.errorLine));
        showMessageLine(QString::fromStdString(laid.error), true);
        return false;
    }
    edModel->markLine(0);
    showMessageLine(QString::fromStdString(laid.message())
                        .replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    false);
    return true;
}

void TfrmModel::btnSolveClick() {
    if (btnApplyClick()) m_host.solveApplied();
}

} // namespace kvado::ui
