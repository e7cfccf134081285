// LP and MPS files in the open and write commands, and the model window: a textbook problem
// typed as LP text and solved, and a text that does not read marked at its line.

#include <QLabel>
#include <QTimer>

#include "UiTestSupport.h"
#include "base/FileIo.h"
#include "model/ModelFiles.h"
#include "ui/unExplain.h"
#include "ui/unModel.h"
#include "ui/unRanges.h"
#include "ui/unUserTerms.h"

namespace kvado::ui::test {
namespace {

class ModelWindow : public MainWindowFixture {
protected:
    void openFile(const char* name, const std::string& text) {
        writeFileBytes(folder.path(u(name)).toStdString(), text);
        toolkit.answerFileDialog(folder.path(u(name)));
        form->idFileOpen->trigger();
    }
    // Opens the model window; `work` runs in it while it is shown.
    void inModelWindow(const std::function<void(TfrmModel&)>& work) {
        toolkit.setModalAction([&](QDialog& d) {
            if (d.objectName() == u("TfrmModel")) work(static_cast<TfrmModel&>(d));
        });
        form->idModel->trigger();
        toolkit.setModalAction({});
    }
    InTempFolder folder;
};

// Maximise, a lower bound, a free unknown, a ">=" row with a negative right-hand side.
const char* const kPlan =
    "Maximize\n profit: 3 x + 2 y\nSubject To\n cap: x + y + w <= 4\n"
    " bal: x + y - w <= 6\n low: x - w >= -2\nBounds\n y >= 1\n w free\nEnd\n";

TEST_F(ModelWindow, OpenedLpFileSaysWhatWasDoneAndAnswersInItsTerms) {
    openFile("plan.lp", kPlan);
    EXPECT_EQ(toolkit.fileDialogs()[0].filter,
              u("Исходные данные |*.dat|Файлы LP |*.lp|Файлы MPS |*.mps|Все файлы |*.*"));
    EXPECT_EQ(toolkit.texts(Kind::Message),
              QStringList{u("Задача приведена к стандартному виду: максимум заменен минимумом "
                            "(коэффициенты цели умножены на -1); ограничений умножено на -1: 1; "
                            "неизвестных сдвинуто (x = l + x'): 1; свободных неизвестных разбито "
                            "на две (x = x+ - x-): 1.")});
    EXPECT_EQ((QStringList{form->edG->text(), form->edL->text(), form->edN->text()}),
              (QStringList{u("0"), u("3"), u("4")}));
    EXPECT_EQ(form->statusText(), u("   Открыт файл: plan.lp"));
    EXPECT_EQ(grid().cell(0, 2) + grid().cell(2, 1), " cap x");

    // The method's road (the sparse engine is the default of an opened LP file).
    EXPECT_TRUE(form->idEngineSparse->isChecked());
    form->idEngineMethod->trigger();
    toolkit.clear();
    toolkit.setModalAction([&](QDialog& d) {
        if (d.objectName() == u("TfrmResults2")) form->windows().results2->btnUserTerms->click();
    });
    form->btnSolve->click();
    ASSERT_EQ(toolkit.texts(Kind::Modal), (QStringList{u("TfrmResults2"), u("TfrmUserTerms")}));
    const QString section = form->windows().results2->userTermsWindow()->text();
    EXPECT_TRUE(section.startsWith(u("   Решение исходной задачи\n \nМаксимум «profit» = 14\n")))
        << section.toStdString();

    // An edit ends the link: the next results offer nothing of the model.
    emit form->edEps->textEdited(form->edEps->text());
    toolkit.clear();
    form->idSolveAgain->trigger();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{u("TfrmResults2")});
    EXPECT_FALSE(form->windows().results2->btnUserTerms->isVisibleTo(form->windows().results2));
}

// The sparse engine, the default of an opened LP file, answers in the model's terms with the
// method's words and leaves its summary in Kvaq.log; a data file goes back to the method; a
// «Прервать» clicked while the engine runs stops it.
TEST_F(ModelWindow, SparseEngineSolvesAnOpenedLpFileAndStops) {
    openFile("plan.lp", kPlan);
    ASSERT_TRUE(form->idEngineSparse->isChecked());
    toolkit.clear();
    form->btnSolve->click();
    ASSERT_EQ(toolkit.texts(Kind::Modal), QStringList{u("TfrmUserTerms")});
    ASSERT_TRUE(form->session().userSolution());
    EXPECT_EQ(double(form->session().userSolution()->objective), 14);
    EXPECT_EQ(form->session().userSolutionLines()[2], "Максимум «profit» = 14");
    const std::string log = readFileBytes(folder.path(u("Kvaq.log")).toStdString());
    EXPECT_NE(log.find("GLPK"), std::string::npos);
    EXPECT_EQ(form->statusText(), u("   Открыт файл: plan.lp")); // the progress is gone

    toolkit.clear();
    QTimer::singleShot(0, form.get(), [&] { form->btnStop->click(); });
    form->btnSolve->click();
    EXPECT_EQ(toolkit.texts(Kind::Message), QStringList{u("Решение остановлено")});
    EXPECT_FALSE(form->session().userSolution());
    EXPECT_TRUE(form->btnSolve->isVisible() || !form->isVisible());

    writeFileBytes(folder.path(u("p.dat")).toStdString(), "0 0 1 1 1E-8\n1\n-1\n4\n");
    toolkit.answerFileDialog(folder.path(u("p.dat")));
    form->idFileOpen->trigger();
    EXPECT_TRUE(form->idEngineMethod->isChecked());
}

// The engine's answer comes with the analyses of its basis: the automatic exact check's line
// and the ranges in «Решение исходной задачи»; a model without a feasible point opens «Почему
// нет решения» beside the grid, told from the engine's phase 1 in the model's rows.
TEST_F(ModelWindow, SparseEngineAnswerHasTheAnalysesOfItsBasis) {
    openFile("plan.lp", kPlan);
    toolkit.clear();
    toolkit.setModalAction([&](QDialog& d) {
        if (d.objectName() != u("TfrmUserTerms")) return;
        auto& terms = static_cast<TfrmUserTerms&>(d);
        EXPECT_EQ(terms.lblExact->text(), u("Проверено точно: оптимально"));
        EXPECT_FALSE(terms.btnExact->isVisibleTo(&terms));
        terms.btnRanges->click();
        ASSERT_NE(terms.rangesWindow(), nullptr);
    });
    form->btnSolve->click();
    toolkit.setModalAction({});
    EXPECT_EQ(toolkit.texts(Kind::Modal), (QStringList{u("TfrmUserTerms"), u("TfrmRanges")}));
    const auto lines = form->session().report().lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Проверено точно: оптимально"), lines.end());

    openFile("none.lp", "min: x + y\nst\nd: x + y >= 4\nb: x + y = 1\nend\n");
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(toolkit.texts(Kind::Message),
              QStringList{u("Ограничения не имеют допустимого решения")});
    const auto* explain = form->findChild<TfrmExplain*>();
    ASSERT_NE(explain, nullptr);
    EXPECT_TRUE(explain->isVisible());
    EXPECT_EQ(explain->lblSentence->text(),
              u("Ограничения «d» ×1 и «b» ×(-1) вместе с границами переменных противоречат "
                "друг другу: ограничения несовместны"));

    // Beyond the engine's record (3202 rows of the standard form) the explanation comes from
    // the exact check on the model, and the window shows it as well.
    std::string big = "min: x0\nst\n", cap = "cap:", bounds = "bounds\n";
    for (int i = 0; i < 1600; ++i)
        big += "r" + std::to_string(i) + ": x" + std::to_string(i) + " + x" +
               std::to_string(i + 1) + " >= " + std::to_string(3 + i % 5) + "\n";
    for (int j = 0; j <= 1600; ++j) {
        cap += " + x" + std::to_string(j);
        bounds += "x" + std::to_string(j) + " <= 10\n";
    }
    openFile("capped.lp", big + cap + " <= 1000\n" + bounds + "end\n");
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_TRUE(explain->isVisible());
    const QString sentence = explain->lblSentence->text();
    EXPECT_TRUE(sentence.contains(u("«cap» ×")) &&
                sentence.endsWith(u("вместе с границами переменных противоречат друг другу: "
                                    "ограничения несовместны")))
        << sentence.left(200).toStdString();
}

// A name without an extension takes the chosen filter's format; while linked the file's own
// model is written, not its standard form.
TEST_F(ModelWindow, WriteTakesTheFormatOfTheFilter) {
    openFile("plan.lp", kPlan);
    toolkit.answerFileDialog(folder.path(u("copy")), 2);
    form->idWriteFile->trigger();
    const model::Model m =
        model::readMps(readFileBytes(folder.path(u("copy.mps")).toStdString()), "copy.mps");
    EXPECT_EQ(model::writeLp(m), model::writeLp(*form->session().linkedModel()));
}

// A textbook problem typed into the model window and solved: x = 2, y = 6, profit 36.
TEST_F(ModelWindow, TypedTextbookProblemSolves) {
    inModelWindow([&](TfrmModel& w) {
        w.edModel->setPlainText(u("max: 3x + 5y\nst\nc1: x <= 4\nc2: 2y <= 12\n"
                                  "c3: 3x + 2y <= 18\nend\n"));
        w.btnSolve->click();
        EXPECT_TRUE(w.lblMessage->text().startsWith(u("Задача приведена к стандартному виду: ")));
    });
    ASSERT_TRUE(form->session().userSolution());
    const model::UserSolution& s = *form->session().userSolution();
    EXPECT_EQ((std::vector<double>{double(s.objective), double(s.columnValue[0]),
                                   double(s.columnValue[1])}),
              (std::vector<double>{36, 2, 6}));
    EXPECT_TRUE(toolkit.texts(Kind::Modal).contains(u("TfrmResults2")));
}

// A text that does not read marks its line, says why under the editor and changes nothing.
TEST_F(ModelWindow, ErrorMarksItsLine) {
    enterProblem("1", "0", "0", "1", {{"1", "1"}, {"1"}});
    const Shown before = shown();
    inModelWindow([&](TfrmModel& w) {
        // The window opens with the grid's problem as LP text.
        EXPECT_TRUE(w.edModel->toPlainText().startsWith(u("Minimize\n")));
        w.edModel->setPlainText(u("min: x + y\nst\nc1: x + y >= 2\nc2: x - >= 1\nend\n"));
        EXPECT_FALSE(w.btnApplyClick());
        EXPECT_EQ(w.edModel->markedLine(), 4);
        EXPECT_EQ(w.edModel->textCursor().blockNumber(), 3);
        EXPECT_TRUE(w.lblMessage->text().startsWith(u("Модель: строка 4: ")));
    });
    EXPECT_EQ(shown(), before);
}

} // namespace
} // namespace kvado::ui::test
