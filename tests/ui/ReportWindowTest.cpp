// The report window: how it looks, how it shows the report, and what "Сохранить отчет" writes.

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <cerrno>
#include <cstring>

#include "RequiredInput.h"
#include "ResultsTestSupport.h"

namespace kvado::ui::test {
namespace {

#define SKIP_WITHOUT_UNRTF() KVADO_REQUIRE_INPUT(QFile::exists(QString::fromLatin1(kUnrtf)), kUnrtf)

// Keys that carry the given characters, as a keyboard of any layout sends them (QTest's own
// key clicks know only ASCII).
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

class Report : public MainWindowFixture {
protected:
    TResults& window() { return *form->windows().results; }
    QStringList lines() { return shownLines(window().RE1); }
    QStringList filesInFolder() {
        return QDir(folder.path(".")).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }
    // Minimise Z = -X1 - X2 subject to X1 + X2 <= 4.
    void solveExample() {
        enterProblem("0", "0", "1", "2", {{"4", "1", "1"}, {"-1", "-1"}});
        form->btnSolve->click();
        toolkit.clear();
    }
    // "Сохранить отчет", answering the dialog with `path` (nullopt: cancel).
    void save(std::optional<QString> path) {
        toolkit.answerFileDialog(std::move(path));
        window().btnSave->click();
    }
    // Selects the first occurrence of `word` in RE1.
    void select(const QString& word) {
        QTextCursor found = window().RE1->document()->find(word);
        ASSERT_FALSE(found.isNull()) << word.toStdString();
        window().RE1->setTextCursor(found);
    }

    InTempFolder folder;
};

TEST_F(Report, WindowAndControlsAsDesigned) {
    TResults& w = window();
    EXPECT_EQ(w.windowTitle(), u("  О т ч е т   о   р е з у л ь т а т а х "));
    EXPECT_EQ(w.outerSize(), QSize(610, 370));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(w.pos(), QPoint(screen.x() + (screen.width() - 610) / 2,
                              screen.y() + (screen.height() - 370) / 2));
    EXPECT_EQ(w.RE1->geometry(), QRect(8, 8, 593, 289));
    EXPECT_FALSE(w.RE1->isReadOnly());
    EXPECT_EQ(w.RE1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(w.btnSave->geometry(), QRect(360, 304, 153, 27));
    EXPECT_EQ(w.btnSave->text(), u("Сохранить отчет"));
    EXPECT_EQ(w.btnExit->geometry(), QRect(520, 304, 81, 28));
    EXPECT_EQ(w.btnExit->text(), u("Выход"));
    EXPECT_EQ(lines(), QStringList{""});
}

TEST_F(Report, MinimumSizeAndAnchors) {
    struct Case {
        QSize asked, kept;
    };
    const Case cases[] = {{{500, 300}, {610, 370}},
                          {{700, 300}, {700, 370}},
                          {{500, 500}, {610, 500}},
                          {{710, 420}, {710, 420}}};
    TResults& w = window();
    w.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.asked.width() << "x" << c.asked.height());
        w.resize(c.asked - QSize(kDesignFrameWidth, kDesignFrameHeight));
        QApplication::processEvents();
        EXPECT_EQ(w.outerSize(), c.kept);
    }
    // 100 wider and 50 higher than designed: the edit grows, the buttons keep to the corner.
    EXPECT_EQ(w.RE1->geometry(), QRect(8, 8, 693, 339));
    EXPECT_EQ(w.btnSave->geometry(), QRect(460, 354, 153, 27));
    EXPECT_EQ(w.btnExit->geometry(), QRect(620, 354, 81, 28));
    w.btnExit->click();
    EXPECT_TRUE(w.isHidden());
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

TEST_F(Report, ReachedFromTheResultsWindowAfterASolve) {
    // The user presses "Текстовый отчет" in the results window and reads the report there.
    QStringList seen;
    toolkit.setModalAction([&](QDialog& modal) {
        if (modal.objectName() == "TfrmResults2")
            form->windows().results2->btnText->click();
        else if (modal.objectName() == "TResults")
            seen = methodLines(lines());
    });
    enterProblem("0", "0", "1", "2", {{"4", "1", "1"}, {"-1", "-1"}});
    form->btnSolve->click();
    EXPECT_EQ(toolkit.texts(Kind::Modal), (QStringList{"TfrmResults2", "TResults"}));
    ASSERT_EQ(seen.size(), 21);
    EXPECT_EQ(seen.first(), u("     РЕШЕНИЕ"));
    EXPECT_EQ(window().RE1->textCursor().position(), 0) << "shown from its beginning";
}

TEST_F(Report, ClearingEmptiesTheReportAndWhatRE1Shows) {
    solveExample();
    window().RE1->insertPlainText(QStringLiteral("user's own line"));
    window().ClearReport();
    EXPECT_EQ(lines(), QStringList{""});
    EXPECT_TRUE(window().report().empty());
    // What the writers append next starts a fresh report.
    window().report().append("first");
    window().report().append("second");
    window().showAppended();
    EXPECT_EQ(lines(), (QStringList{"first", "second"}));
}

TEST_F(Report, SaveDialogProposesTheDataFilesNameWithRtf) {
    struct Case {
        const char* dataFileName;
        const char* proposed;
    };
    const Case cases[] = {
        {"", "Отчет.rtf"}, {"zad1.dat", "zad1.rtf"},       {"task", "task.rtf"},
        {"p1", "p1.rtf"},  {"plan.v2.dat", "plan.v2.rtf"},
    };
    solveExample();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dataFileName);
        problem.dataFileName = c.dataFileName;
        toolkit.clear();
        save(std::nullopt);
        EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::SaveDialog, u("Задайте имя отчета")}}));
        const FileDialogOptions& o = toolkit.fileDialogs().back();
        EXPECT_EQ(o.fileName, u(c.proposed));
        EXPECT_EQ(o.filter, u("Отчеты|*.rtf|Все файлы|*.*"));
        EXPECT_EQ(o.initialDir, ".");
        EXPECT_EQ(o.defaultExt, "");
    }
    // A cancelled dialog writes nothing: the trace log is all the folder holds.
    EXPECT_EQ(filesInFolder(), QStringList{"Kvaq.log"});
}

TEST_F(Report, SavedReportHoldsTheTextAndHeadings) {
    SKIP_WITHOUT_UNRTF();
    solveExample();
    // A name typed without an extension gets the filter's.
    save(folder.path("report"));
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::SaveDialog, u("Задайте имя отчета")}}));
    EXPECT_EQ(filesInFolder(), (QStringList{"Kvaq.log", "report.rtf"}));
    const QString html = unrtfHtml(folder.path("report.rtf"));
    for (const QString& line : lines()) {
        if (line.trimmed().isEmpty()) continue;
        EXPECT_TRUE(html.contains(line.trimmed())) << line.toStdString() << "\n"
                                                   << html.toStdString();
    }
    // The first heading: bold Arial.
    const qsizetype heading = html.indexOf(u("РЕШЕНИЕ"));
    const QString before = html.left(heading);
    EXPECT_GT(before.lastIndexOf("<b>"), before.lastIndexOf("</b>"));
    EXPECT_TRUE(before.contains("face=\"Arial\""));
}

TEST_F(Report, UsersEditsAreSaved) {
    SKIP_WITHOUT_UNRTF();
    solveExample();
    QTextEdit* re = window().RE1;
    // The user types a line at the end, makes one word bold and red and another italic,
    // underlined, larger and in another font, and deletes the first heading.
    re->moveCursor(QTextCursor::End);
    QTest::keyClick(re, Qt::Key_Return);
    typeText(re, u("Проверил Иванов вчера"));
    select(u("Иванов"));
    re->setFontWeight(QFont::Bold);
    re->setTextColor(QColor(255, 0, 0));
    select(u("вчера"));
    re->setFontItalic(true);
    re->setFontUnderline(true);
    re->setFontPointSize(20);
    re->setFontFamily(QStringLiteral("Times New Roman"));
    select(u("РЕШЕНИЕ"));
    re->textCursor().removeSelectedText();
    const QStringList shown = lines();

    save(folder.path("edited.rtf"));
    EXPECT_EQ(toolkit.texts(Kind::Error), QStringList{});
    const QString html = unrtfHtml(folder.path("edited.rtf"));
    EXPECT_FALSE(html.contains(u("РЕШЕНИЕ")));
    const qsizetype ivanov = html.indexOf(u("Иванов"));
    const qsizetype yesterday = html.indexOf(u("вчера"));
    ASSERT_GT(ivanov, 0) << html.toStdString();
    ASSERT_GT(yesterday, ivanov);
    const QString beforeIvanov = html.mid(html.indexOf(u("Проверил")), ivanov);
    EXPECT_TRUE(beforeIvanov.contains("<b>")) << beforeIvanov.toStdString();
    EXPECT_TRUE(beforeIvanov.contains("color=\"#ff0000\"")) << beforeIvanov.toStdString();
    const QString beforeYesterday = html.mid(ivanov, yesterday - ivanov);
    for (const char* tag : {"<i>", "<u>", "face=\"Times New Roman\""})
        EXPECT_TRUE(beforeYesterday.contains(tag)) << tag << beforeYesterday.toStdString();
    // Saving reads RE1 and leaves it as it was.
    EXPECT_EQ(lines(), shown);
}

TEST_F(Report, ExistingFileIsReplaced) {
    SKIP_WITHOUT_UNRTF();
    solveExample();
    QFile old(folder.path("r.rtf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    save(folder.path("r.rtf"));
    const QString html = unrtfHtml(folder.path("r.rtf"));
    EXPECT_TRUE(html.contains(u("Оптимальный план")));
    EXPECT_FALSE(html.contains("xxxx"));
}

TEST_F(Report, FileThatCannotBeCreatedShowsTheReason) {
    solveExample();
    window().RE1->insertPlainText(QStringLiteral("edit"));
    const QStringList shown = lines();
    const QString path = folder.path("missing/report.rtf");
    save(path);
    // The reason in the words of the system, in the user's language.
    EXPECT_EQ(toolkit.texts(Kind::Error),
              QStringList{"Cannot create file \"" + path + "\". " +
                          QString::fromLocal8Bit(std::strerror(ENOENT))});
    EXPECT_EQ(lines(), shown);
    // The user can try another name.
    toolkit.clear();
    save(folder.path("report.rtf"));
    EXPECT_EQ(toolkit.texts(Kind::Error), QStringList{});
    EXPECT_TRUE(QFile::exists(folder.path("report.rtf")));
}

} // namespace
} // namespace kvado::ui::test
