#include "ui/unLog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/FileIo.h"
#include "text/Encoding.h"

namespace kvado::ui {

namespace {

QString decodeLog(std::string_view bytes) {
    QString text = QString::fromStdString(text::cp1251ToUtf8(bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

QString logViewText(std::string_view bytes, size_t limit) {
    if (bytes.size() <= limit) return decodeLog(bytes);
    // A quarter from the beginning, the rest from the end, each cut at a line end.
    size_t headEnd = bytes.rfind('\n', limit / 4);
    headEnd = headEnd == std::string_view::npos ? 0 : headEnd + 1;
    size_t tailStart = bytes.find('\n', bytes.size() - (limit - limit / 4));
    tailStart = tailStart == std::string_view::npos ? bytes.size() : tailStart + 1;
    const size_t omitted = tailStart - headEnd;
    return decodeLog(bytes.substr(0, headEnd)) +
           QStringLiteral("\n... пропущено %1 байт журнала ...\n\n").arg(omitted) +
           decodeLog(bytes.substr(tailStart));
}

TfrmLog::TfrmLog(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmLog",
            .caption = QStringLiteral("  Журнал решения "),
            .clientSize = QSize(720, 480)},
           parent) {
    MemoLog = new QPlainTextEdit(this);
    MemoLog->setObjectName(QStringLiteral("MemoLog"));
    MemoLog->setReadOnly(true);
    MemoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoLog->setFont(
        fontOrFallback({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                        QStringLiteral("Courier New")},
                       13, true));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MemoLog);
    addCloseButtonRow(this, layout, btnClose);
}

void TfrmLog::loadLog(const QString& path) {
    MemoLog->setPlainText(logViewText(readFileBytes(path.toStdString())));
    setWindowTitle(QStringLiteral("  Журнал решения: ") + QFileInfo(path).fileName() +
                   QLatin1Char(' '));
}

void TfrmLog::showLog(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        m_toolkit.showMessage(QStringLiteral("Журнал решения ") + path +
                              QStringLiteral(" не найден.\r\nОн появляется после решения "
                                             "задачи в этой папке."));
        return;
    }
    loadLog(path);
    m_toolkit.showModal(*this);
}

QString TfrmLog::text() const {
    return MemoLog->toPlainText();
}

} // namespace kvado::ui
