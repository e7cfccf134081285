#include "ui/Unit2.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "base/FileIo.h"
#include "datafile/NameFiles.h"
#include "ui/FormBuilder.h"
#include "ui/ProblemFormPicture.h"

namespace kvado::ui {

QStringList builtInHelpLines() {
    // Letters that look alike are not alike here: the "а" of "а1,1" (line 6) and the "Х" and
    // "М" of line 7 are Cyrillic, every other one-letter symbol is Latin.
    return {
        QStringLiteral("В первых строках записывают неравенства вида >= .  Количество таких "),
        QStringLiteral("неравенств обозначим G. Далее запишем все равенства. Их количество "),
        QStringLiteral("обозначим E. Еще ниже расположим неравенства вида <= . Их количество "),
        QStringLiteral("обозначим L. Всего в задаче M = G+E+L ограничений. "),
        QStringLiteral("Ниже запишем целевую функцию Z.  В задаче N неизвестных величин X. "),
        QStringLiteral("Числа \u04301,1 ... b1,b2,... c1,c2,... - известны (даны).  Нужно найти "
                       "такие значения "),
        QStringLiteral("(ПОЛОЖИТЕЛЬНЫЕ) неизвестных \u0425, чтобы все \u041C ограничений были "),
        QStringLiteral("выполнены и целевая функция Z имела минимальное ( или максимальное)."),
    };
}

QStringList helpTextCandidates(const QString& programFolder) {
    const QDir dir(programFolder);
    const QString name = QLatin1String(kHelpTextFileName);
    return {name, QDir::cleanPath(dir.filePath(name)),
            QDir::cleanPath(dir.filePath(QStringLiteral("../share/kvado/") + name))};
}

QString findHelpText(const QStringList& candidates) {
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile()) return path;
    return candidates.isEmpty() ? QLatin1String(kHelpTextFileName) : candidates.constFirst();
}

TForm2::TForm2(Toolkit& toolkit, QWidget* parent, std::optional<QStringList> helpTextFiles)
    : Form(toolkit,
           {.name = "TForm2",
            .caption = QStringLiteral("  Справка "),
            .clientSize = QSize(554, 363),
            .fontPixels = 11},
           parent),
      m_helpTextFiles(helpTextFiles ? std::move(*helpTextFiles)
                                    : helpTextCandidates(QCoreApplication::applicationDirPath())) {
    setFixedSize(size());

    FormBuilder controls(this);
    StaticText1 = controls.heading(
        "StaticText1",
        QStringLiteral("Задача линейного программирования может быть записана в виде:"),
        windowFont(13));
    StaticText1->setGeometry(88, 4, 449, 20);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap::fromImage(makeProblemFormPicture()));
    Image1->setGeometry(72, 28, kProblemFormWidth, kProblemFormHeight);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(windowFont(13));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setGeometry(8, 184, 537, 145);
    setMemoLines(builtInHelpLines());

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn1->setGeometry(464, 332, 81, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    runCommand(m_toolkit, [this] { FormCreate(); });
}

void TForm2::FormCreate() {
    // Read with the policy of the name files: UTF-8 when the file is valid UTF-8 with a
    // non-ASCII character, else windows-1251, the code page the help text was written in.
    const std::string path = findHelpText(m_helpTextFiles).toStdString();
    const auto lines = datafile::splitNameLines(readFileBytes(path));
    QStringList text;
    for (const std::string& line : lines)
        text << QString::fromStdString(line);
    setMemoLines(text);
}

QStringList TForm2::memoLines() const {
    const QString text = Memo1->toPlainText();
    // An empty memo has no lines, not one empty line.
    if (text.isEmpty()) return {};
    return text.split(QLatin1Char('\n'));
}

void TForm2::setMemoLines(const QStringList& lines) {
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

} // namespace kvado::ui
