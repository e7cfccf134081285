// LP and MPS files in the open and write commands, and the model window: a textbook problem
// typed as LP text and solved, and a text that does not read marked at its line.

#include <QFile>
#include <QLabel>

#include "UiTestSupport.h"
#include "base/FileIo.h"
#include "model/ModelFiles.h"
#include "ui/unModel.h"
#include "ui/unUserTerms.h"

namespace kvado::ui::test {
namespace {

class ModelWindow : public MainWindowFixture {
protected:
    void put(const char* name, const std::string& text) {
        writeFileBytes(folder.path(u(name)).toStdString(), text);
    }
    void open(const char* name, int filter = -1) {
        toolkit.answerFileDialog(folder.path(u(name)), filter);
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

// Maximise with a lower bound, a free unknown and a ">=" row with a negative right-hand side.
const char* const kBoundedLp = "\\ a plan\nMaximize\n profit: 3 x + 2 y\nSubject To\n"
                               " cap: x + y + w <= 4\n bal: x + y - w <= 6\n low: x - w >= -2\n"
                               "Bounds\n y >= 1\n"
                               " w free\nEnd\n";

TEST_F(ModelWindow, OpenDialogOffersModelFilesAndTheOpenSaysWhatWasDone) {
    put("plan.lp", kBoundedLp);
    open("plan.lp");
    ASSERT_EQ(toolkit.fileDialogs().size(), 1u);
    EXPECT_EQ(toolkit.fileDialogs()[0].filter,
              u("Исходные данные |*.dat|Файлы LP |*.lp|Файлы MPS |*.mps|Все файлы |*.*"));
    EXPECT_EQ(toolkit.texts(Kind::Message),
              QStringList{u("Задача приведена к стандартному виду: максимум заменен минимумом "
                            "(коэффициенты цели умножены на -1); ограничений умножено на -1: 1; "
                            "неизвестных сдвинуто (x = l + x'): 1; свободных неизвестных разбито "
                            "на две (x = x+ - x-): 1.")});
    // The standard form in the edits and the grid, with its names.
    EXPECT_EQ(form->edG->text(), u("0"));
    EXPECT_EQ(form->edL->text(), u("3"));
    EXPECT_EQ(form->edN->text(), u("4"));
    EXPECT_EQ(form->statusText(), u("   Открыт файл: plan.lp"));
    EXPECT_TRUE(form->btnSolve->isEnabled());
    EXPECT_TRUE(form->session().linked());
    EXPECT_EQ(grid().cell(0, 2), " cap");
    EXPECT_EQ(grid().cell(2, 1), " x");

    // Solved: the results window offers the answer in the model's terms.
    toolkit.clear();
    toolkit.setModalAction([&](QDialog& d) {
        if (d.objectName() != u("TfrmResults2")) return;
        TfrmResults2& results = *form->windows().results2;
        EXPECT_TRUE(results.btnUserTerms->isVisible());
        results.btnUserTerms->click();
    });
    form->btnSolve->click();
    ASSERT_EQ(toolkit.texts(Kind::Modal), (QStringList{u("TfrmResults2"), u("TfrmUserTerms")}))
        << ::testing::PrintToString(entries());
    const QString section = form->windows().results2->userTermsWindow()->text();
    EXPECT_TRUE(section.startsWith(u("   Решение исходной задачи\n"))) << section.toStdString();
    EXPECT_TRUE(section.contains(u("Максимум «profit» = 14\n")));
    EXPECT_TRUE(form->session().report().lines().size() > 0);

    // An edit ends the link; the next results offer nothing of the model.
    form->edEps->setText(u("1E-9"));
    emit form->edEps->textEdited(u("1E-9"));
    EXPECT_FALSE(form->session().linked());
    toolkit.clear();
    toolkit.setModalAction([&](QDialog& d) {
        if (d.objectName() == u("TfrmResults2")) {
            EXPECT_FALSE(form->windows().results2->btnUserTerms->isVisible());
        }
    });
    form->idSolveAgain->trigger();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{u("TfrmResults2")});
}

TEST_F(ModelWindow, ReaderErrorIsAMessageAndChangesNothing) {
    enterProblem("1", "0", "0", "1", {{"1", "1"}, {"1"}});
    const Shown before = shown();
    put("bad.mps", "NAME x\nROWS\n N obj\n L c1\nCOLUMNS\n x obj 1 c9 2\nENDATA\n");
    toolkit.clear();
    open("bad.mps");
    ASSERT_EQ(toolkit.texts(Kind::Message).size(), 1);
    EXPECT_TRUE(toolkit.texts(Kind::Message)[0].startsWith(u("bad.mps: строка 6: ")))
        << toolkit.texts(Kind::Message)[0].toStdString();
    EXPECT_EQ(shown(), before);
}

// A name without an extension takes the chosen filter's format; while linked the file's own
// model is written, not its standard form.
TEST_F(ModelWindow, WriteTakesTheFormatOfTheFilter) {
    put("plan.lp", kBoundedLp);
    open("plan.lp");
    toolkit.answerFileDialog(folder.path(u("copy")), 2);
    form->idWriteFile->trigger();
    EXPECT_EQ(toolkit.fileDialogs().back().filter,
              u("Файлы данных|*.dat|Файлы LP|*.lp|Файлы MPS|*.mps|Все файлы|*.*"));
    const model::Model written =
        model::readMps(readFileBytes(folder.path(u("copy.mps")).toStdString()), "copy.mps");
    const model::Model& original = *form->session().linkedModel();
    EXPECT_EQ(written.sense, model::Sense::Maximize);
    ASSERT_EQ(written.columns.size(), original.columns.size());
    for (size_t j = 0; j < written.columns.size(); ++j) {
        EXPECT_EQ(written.columns[j].name, original.columns[j].name);
        EXPECT_EQ(written.columns[j].lower, original.columns[j].lower);
    }
    EXPECT_FALSE(form->unsavedWork());
}

// A textbook problem typed into the model window and solved: x = 2, y = 6, profit 36.
TEST_F(ModelWindow, TypedTextbookProblemSolves) {
    inModelWindow([&](TfrmModel& w) {
        w.edModel->setPlainText(u("max: 3x + 5y\nst\nc1: x <= 4\nc2: 2y <= 12\n"
                                  "c3: 3x + 2y <= 18\nend\n"));
        w.btnSolve->click();
        EXPECT_EQ(w.edModel->markedLine(), 0);
        EXPECT_TRUE(w.lblMessage->text().startsWith(u("Задача приведена к стандартному виду: ")));
    });
    ASSERT_TRUE(form->session().userSolution());
    const model::UserSolution& s = *form->session().userSolution();
    EXPECT_NEAR(static_cast<double>(s.objective), 36, 1e-12);
    EXPECT_NEAR(static_cast<double>(s.columnValue[0]), 2, 1e-12);
    EXPECT_NEAR(static_cast<double>(s.columnValue[1]), 6, 1e-12);
    EXPECT_TRUE(toolkit.texts(Kind::Modal).contains(u("TfrmResults2")));
    EXPECT_EQ(grid().cell(0, 4), " c3");
    // The window opened again shows the linked model as LP text, which reads back to it.
    inModelWindow([&](TfrmModel& w) {
        const model::Model again = model::readLp(w.edModel->toPlainText().toStdString(), "m");
        EXPECT_EQ(again.rows.size(), 3u);
        EXPECT_EQ(again.sense, model::Sense::Maximize);
    });
}

// A text that does not read marks its line, says why under the editor and changes nothing.
TEST_F(ModelWindow, ErrorMarksItsLine) {
    enterProblem("1", "0", "0", "1", {{"1", "1"}, {"1"}});
    const Shown before = shown();
    inModelWindow([&](TfrmModel& w) {
        w.edModel->setPlainText(u("min: x + y\nst\nc1: x + y >= 2\nc2: x - >= 1\nend\n"));
        EXPECT_FALSE(w.btnApplyClick());
        EXPECT_EQ(w.edModel->markedLine(), 4);
        EXPECT_TRUE(w.lblMessage->text().startsWith(u("Модель: строка 4: ")))
            << w.lblMessage->text().toStdString();
        EXPECT_EQ(w.edModel->textCursor().blockNumber(), 3);
        // Typing takes the mark away.
        w.edModel->insertPlainText(u(" "));
        EXPECT_EQ(w.edModel->markedLine(), 0);
    });
    EXPECT_EQ(shown(), before);
    EXPECT_FALSE(form->session().linked());
}

} // namespace
} // namespace kvado::ui::test
