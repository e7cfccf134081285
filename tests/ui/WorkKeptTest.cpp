// The main window keeps the user's work and reaches every result: an open (of a data file or
// an LP file) asks before it replaces typing, a new table asks only about a typed grid, the
// results of a failed solve are within reach, and F1's guide is a window of the program.
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include "UiTestSupport.h"
#include "ui/unGuide.h"

namespace kvado::ui::test {
namespace {

class WorkKept : public MainWindowFixture, public InTempFolder {
protected:
    void put(const char* name, const char* bytes) {
        QFile f(path(u(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void open(const char* name) {
        toolkit.answerFileDialog(path(u(name)));
        form->idFileOpen->trigger();
    }
    const QString kQuestion =
        u("Задача в таблице изменена и не записана в файл.\r\nЗаписать ее перед этим?");
};

TEST_F(WorkKept, OpenAsksBeforeItReplacesTyping) {
    put("p.dat", "0 0 1 1 1E-8\n1\n-1\n4\n");
    put("p.lp", "max: x\nst\nc1: x <= 3\nend\n");
    for (const char* file : {"p.dat", "p.lp"}) {
        SCOPED_TRACE(file);
        enterProblem("0", "0", "1", "2", {{"5", "1", "1"}, {"-1", "-2"}});
        const Shown typed = shown();
        toolkit.clear();
        toolkit.answerSaveQuestion(Toolkit::SaveAnswer::Cancel);
        open(file);
        EXPECT_EQ(toolkit.texts(Kind::Question), QStringList{kQuestion});
        EXPECT_EQ(shown(), typed);
        toolkit.clear();
        toolkit.answerSaveQuestion(Toolkit::SaveAnswer::Discard);
        open(file);
        EXPECT_EQ(toolkit.texts(Kind::Question), QStringList{kQuestion});
        EXPECT_EQ(form->edN->text(), "1");
        // Opened and not typed into since: nothing to ask about.
        toolkit.clear();
        open(file);
        EXPECT_EQ(toolkit.texts(Kind::Question), QStringList{});
    }
}

TEST_F(WorkKept, NewTableAsksOnlyAboutATypedGrid) {
    form->btnNewTab->click();
    setEdits("2", "0", "1", "4");
    form->edN->textEdited("4");
    toolkit.clear();
    form->btnNewTab->click();
    EXPECT_EQ(toolkit.texts(Kind::Question), QStringList{});
    type(1, 2, "7");
    form->btnNewTab->click();
    EXPECT_EQ(toolkit.texts(Kind::Question), QStringList{kQuestion});
}

TEST_F(WorkKept, LastResultsAfterAFailedSolve) {
    // X1 >= 5 and X1 <= 3: no feasible solution.
    enterProblem("1", "0", "1", "1", {{"5", "1"}, {"3", "1"}, {"1"}});
    form->btnSolve->click();
    toolkit.clear();
    form->idLastResults->trigger();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Modal, "TfrmResults2"}}));
}

TEST(Guide, ShowsTheShippedGuideWithItsPicturesAndFinds) {
    InTempFolder folder;
    const QString docs = QStringLiteral(KVADO_TEST_DATA "/../../docs/");
    ASSERT_TRUE(QFile::copy(docs + "help/index.html", folder.path("index.html")));
    ASSERT_TRUE(QDir(folder.dir()).mkdir("screenshots"));
    ASSERT_TRUE(
        QFile::copy(docs + "screenshots/splash.png", folder.path("screenshots/splash.png")));
    TfrmGuide guide;
    EXPECT_FALSE(guide.openGuide(folder.path("none.html")));
    ASSERT_TRUE(guide.openGuide(folder.path("index.html")));
    EXPECT_TRUE(guide.TB1->toPlainText().contains(u("Решить")));
    const QVariant picture = guide.TB1->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("screenshots/splash.png")));
    EXPECT_TRUE(picture.isValid());
    EXPECT_TRUE(guide.find(u("решить")));
    EXPECT_TRUE(guide.TB1->textCursor().hasSelection());
    EXPECT_EQ(guide.lblFound->text(), "");
    EXPECT_FALSE(guide.find(u("щщщщ")));
    EXPECT_EQ(guide.lblFound->text(), u("Не найдено"));
}

} // namespace
} // namespace kvado::ui::test

namespace kvado::ui::test {
namespace {

TEST_F(WorkKept, RowsShowTheirRelationAndShiftClickSelects) {
    enterProblem("1", "1", "2", "2",
                 {{"1", "1", "1"}, {"1", "1", "1"}, {"1", "1", "1"}, {"1", "1", "1"}, {"1", "1"}});
    QAbstractItemModel* m = form->SG1->model();
    QStringList labels;
    for (int r = 0; r < m->rowCount(); ++r)
        labels << m->headerData(r, Qt::Vertical).toString();
    EXPECT_EQ(labels, (QStringList{"", "", u("≥"), "=", u("≤"), u("≤"), "Z"}));
    EXPECT_TRUE(form->SG1->verticalHeader()->isVisibleTo(form.get()));

    form->SG1->setCurrentIndex(m->index(2, 1));
    const QRect target = form->SG1->visualRect(m->index(4, 3));
    QTest::mouseClick(form->SG1->viewport(), Qt::LeftButton, Qt::ShiftModifier, target.center());
    EXPECT_EQ(form->SG1->selectionModel()->selectedIndexes().size(), 9);
    // No editor opened.
    EXPECT_EQ(form->SG1->findChild<QLineEdit*>(), nullptr);
}

TEST_F(WorkKept, ResultsCopyWithHeadingsAndTheUsersSeparator) {
    form->setDecimalSeparator(',');
    enterProblem("0", "0", "1", "2", {{"3", "1", "1"}, {"-1", "-0.5"}});
    form->btnSolve->click();
    TfrmResults2& w = *form->windows().results2;
    w.SG3->selectionModel()->select(
        QItemSelection(w.SG3->model()->index(2, 1), w.SG3->model()->index(2, 2)),
        QItemSelectionModel::ClearAndSelect);
    w.SG3->copySelection();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              u("Неизвестные -->\tX1\tX2\n\tНе заполн.\tНе заполн.\nРешение:\t3,000\t0\n"));
}

TEST_F(WorkKept, ExamplesAndRecentFiles) {
    form->setSettingsFile(path(u("kvado.ini")));
    EXPECT_EQ(form->recentFiles(), QStringList{});
    put("a.dat", "0 0 1 1 1E-8\n1\n-1\n4\n");
    put("b.dat", "0 0 1 1 1E-8\n1\n-2\n4\n");
    open("a.dat");
    open("b.dat");
    open("a.dat");
    EXPECT_EQ(form->recentFiles(), (QStringList{path(u("a.dat")), path(u("b.dat"))}));
    // «Недавние» opens a file as it stands.
    emit form->mnRecent->aboutToShow();
    ASSERT_EQ(form->mnRecent->actions().size(), 2);
    toolkit.clear();
    form->mnRecent->actions()[1]->trigger();
    EXPECT_EQ(form->statusText(), u("   Открыт файл: b.dat"));
    EXPECT_EQ(toolkit.unansweredDialogs(), 0);
    // «Примеры» starts the open dialog in the examples' folder.
    form->idExamples->trigger();
    ASSERT_FALSE(toolkit.fileDialogs().empty());
    EXPECT_TRUE(QFileInfo(toolkit.fileDialogs().back().initialDir + "/primer.dat").isFile());
}

} // namespace
} // namespace kvado::ui::test

namespace kvado::ui::test {
namespace {

TEST_F(WorkKept, ReportPrintsOnTheChosenPrinter) {
    enterProblem("0", "0", "1", "1", {{"3", "1"}, {"-1"}});
    form->btnSolve->click();
    TResults& report = *form->windows().results;
    toolkit.clear();
    report.btnPrint->click();
    EXPECT_EQ(toolkit.texts(Kind::Print), QStringList{""});
    EXPECT_FALSE(QFile::exists(path(u("r.pdf"))));
    toolkit.answerPrintToPdf(path(u("r.pdf")));
    report.btnPrint->click();
    QFile pdf(path(u("r.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
}

} // namespace
} // namespace kvado::ui::test

namespace kvado::ui::test {
namespace {

TEST_F(WorkKept, HeadingsAndNamesStayInViewWhileTheGridScrolls) {
    std::string data = "0 0 40 40 1E-8\n";
    for (int k = 0; k < 40 * 40 + 40 + 40; ++k)
        data += "1 ";
    put("big.dat", data.c_str());
    put("big.ogran", "Очень длинное имя ограничения номер один, шире столбца\r\n");
    form->show();
    open("big.dat");
    EXPECT_GT(form->SG1->columnWidth(0), 250); // the long name widens its column
    EXPECT_FALSE(form->SG1->nameColumnShown());
    form->SG1->horizontalScrollBar()->setValue(form->SG1->horizontalScrollBar()->maximum());
    EXPECT_TRUE(form->SG1->nameColumnShown());
    EXPECT_FALSE(form->SG1->headingRowShown());
    form->SG1->verticalScrollBar()->setValue(form->SG1->verticalScrollBar()->maximum());
    EXPECT_TRUE(form->SG1->headingRowShown());
    form->SG1->horizontalScrollBar()->setValue(0);
    form->SG1->verticalScrollBar()->setValue(0);
    EXPECT_FALSE(form->SG1->nameColumnShown());
    EXPECT_FALSE(form->SG1->headingRowShown());
}

} // namespace
} // namespace kvado::ui::test
