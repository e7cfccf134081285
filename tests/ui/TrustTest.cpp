// The main window's mends: what used to hand the solver a different problem than the one on
// screen, lose typed work or name things the user does not have.

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTimer>

#include "UiTestSupport.h"
#include "text/Encoding.h"

namespace kvado::ui::test {
namespace {

class Trust : public MainWindowFixture, public InTempFolder {
protected:
    void write(const char* name, const char* bytes) {
        QFile f(path(u(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void open(const char* name) {
        toolkit.answerFileDialog(path(u(name)));
        form->idFileOpen->trigger();
    }
    // minimise X1 + 2 X2: X1 + X2 >= 2, X1 - X2 = 1, X1 <= 3 (Z = 2.5).
    void enterPrimer() {
        enterProblem("1", "1", "1", "2",
                     {{"2", "1", "1"}, {"1", "1", "-1"}, {"3", "1", "0"}, {"1", "2"}});
    }
    QString reportText() {
        QString text;
        for (const auto& paragraph : form->session().report().paragraphs())
            text += QString::fromStdString(paragraph.text()) + "\n";
        return text;
    }
};

// The resize used to keep every cell in place: a second ">=" row made the objective row a
// constraint and solved an empty row as the objective (Z = 9.00 for this problem).
TEST_F(Trust, ResizeKeepsTheObjectiveRow) {
    enterPrimer();
    setEdits("2", "1", "1", "2");
    form->btnREsizeTab->click();
    EXPECT_EQ(grid().cell(2, 6), "1");
    EXPECT_EQ(grid().cell(3, 6), "2");
    EXPECT_EQ(grid().cell(1, 3), " ?");
    // The new row: X1 >= 0.5, which the optimum keeps.
    type(1, 3, "0.5");
    type(2, 3, "1");
    type(3, 3, "0");
    form->btnSolve->click();
    EXPECT_EQ(form->session().results().edTarget, "2.50");
}

// A file that stopped at a bad number left its counts with the old cells, which F9 then solved
// and called exactly optimal: a failed open changes nothing, and says so and where it stopped.
TEST_F(Trust, FailedOpenChangesNothing) {
    write("good.dat", "0 0 1 1 1E-8\n1\n-1\n4\n");
    open("good.dat");
    form->idSolveAgain->trigger();
    const std::string target = form->session().results().edTarget;
    const Shown before = shown();
    write("bad.dat", "0 0 2 2 1E-8\n1 1\n2 abc\n4\n");
    write("empty.dat", " \r\n");
    const char* const errors[] = {
        "Invalid numeric input\r\nНеверное число в файле данных: строка 3, число 2: «abc»"
        "\r\nФайл «bad.dat» не прочитан: таблица и задача остались прежними",
        "Файл данных пуст: в нем нет ни одного числа\r\nФайл «empty.dat» не прочитан: таблица и "
        "задача остались прежними"};
    for (const char* name : {"bad.dat", "empty.dat"}) {
        toolkit.clear();
        open(name);
        EXPECT_EQ(toolkit.texts(Kind::Error), QStringList{u(errors[name[0] == 'e'])});
        EXPECT_EQ(shown(), before);
        form->idSolveAgain->trigger();
        EXPECT_EQ(form->session().results().edTarget, target);
    }
}

// The report printed |Z|; a new table still named the file opened before.
TEST_F(Trust, ReportKeepsTheSignAndForgetsTheFileAfterANewTable) {
    write("m.dat", "0 0 1 1 1E-8\n1\n-1\n36\n");
    open("m.dat");
    form->btnSolve->click();
    EXPECT_TRUE(reportText().contains(u("Значение = -36.00")));
    EXPECT_TRUE(reportText().contains(u("Файл данных: m.dat")));
    enterProblem("0", "0", "1", "1", {{"36", "1"}, {"-1"}});
    form->idSolveAgain->trigger(); // «Решить» is disabled after a solve; F9 solves anyway
    EXPECT_FALSE(reportText().contains(u("m.dat")));
    EXPECT_TRUE(problem.dataFileName.empty());
}

struct WorkCase {
    const char* name;
    Toolkit::SaveAnswer answer;
    bool exits;
    friend void PrintTo(const WorkCase& c, std::ostream* os) { *os << c.name; }
};

class LostWork : public Trust, public ::testing::WithParamInterface<WorkCase> {};

TEST_P(LostWork, ExitAsksFirst) {
    enterPrimer();
    toolkit.clear();
    toolkit.answerSaveQuestion(GetParam().answer);
    toolkit.answerFileDialog(path(u("kept.dat")));
    form->btnExit->click();
    ASSERT_EQ(toolkit.texts(Kind::Question).size(), 1);
    EXPECT_EQ(toolkit.exitRequested(), GetParam().exits);
    EXPECT_EQ(QFile::exists(path(u("kept.dat"))), GetParam().answer == Toolkit::SaveAnswer::Save);
    EXPECT_EQ(grid().cell(3, 5), "2"); // nothing typed is gone
}

INSTANTIATE_TEST_SUITE_P(Answers, LostWork,
                         ::testing::Values(WorkCase{"Save", Toolkit::SaveAnswer::Save, true},
                                           WorkCase{"Discard", Toolkit::SaveAnswer::Discard, true},
                                           WorkCase{"Cancel", Toolkit::SaveAnswer::Cancel, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Column numbers count surplus and slack columns: "X[3]" named nothing the user had.
TEST_F(Trust, UnboundedNamesTheUsersColumn) {
    // minimise -X1 - X2 subject to X1 - X2 >= 1 (named "Спрос"): X2 grows after X1.
    enterProblem("1", "0", "0", "2", {{"1", "1", "-1"}, {"-1", "-1"}});
    type(0, 2, " Спрос");
    type(2, 1, " Сталь");
    type(3, 1, " Медь");
    form->btnSolve->click();
    const QStringList messages = toolkit.texts(Kind::Message);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(
        messages.back().startsWith(u("Целевая функция не ограничена (переменная «Медь»)")) ||
        messages.back().startsWith(
            u("Целевая функция не ограничена (избыток ограничения «Спрос»)")))
        << messages.back().toStdString();
}

// «Прервать» during a solve: the trace log says so, and nothing the user sees has changed.
TEST_F(Trust, StoppedSolveLeavesEverythingAsItWas) {
    enterPrimer();
    const Shown before = shown();
    QTimer::singleShot(0, form.get(), [this] {
        EXPECT_TRUE(form->solving());
        EXPECT_FALSE(form->SG1->editing());
        EXPECT_TRUE(form->edG->isReadOnly());
        form->btnStop->click();
    });
    form->btnSolve->click();
    EXPECT_EQ(shown(), before);
    EXPECT_TRUE(form->SG1->editing());
    EXPECT_FALSE(form->edG->isReadOnly());
    EXPECT_TRUE(toolkit.texts(Kind::Modal).isEmpty());
    QFile log(path(u("Kvaq.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray bytes = log.readAll();
    EXPECT_TRUE(
        QString::fromStdString(text::cp1251ToUtf8({bytes.constData(), size_t(bytes.size())}))
            .contains(u("Решение прервано пользователем")));
}

// Eight unknowns: the results window opens wide enough for every column of the analysis
// grid, as far as the screen allows.
TEST_F(Trust, ResultsWindowShowsEveryColumnOfEightUnknowns) {
    enterProblem("0", "0", "1", "8",
                 {{"8", "1", "1", "1", "1", "1", "1", "1", "1"},
                  {"-1", "-1", "-1", "-1", "-1", "-1", "-1", "-1"}});
    TfrmResults2& window = *form->windows().results2;
    const int before = window.width();
    form->btnSolve->click();
    int columns = 0;
    for (int c = 0; c < window.SG2->cells().colCount(); ++c)
        columns += window.SG2->cells().colWidth(c);
    const int screen = window.screen()->availableGeometry().width();
    window.show(); // the grids follow the window's size once it is shown
    QApplication::processEvents();
    EXPECT_GT(window.width(), before);
    EXPECT_GE(window.SG2->viewport()->width(), std::min(columns, screen - 100));
    EXPECT_LE(window.width(), screen);
    window.hide();
}

} // namespace
} // namespace kvado::ui::test
