// The explanation window beside the main window after a solve without an answer: the message
// as before, then the window with the grid's names; gone at the next solve, and again from
// the menu «Решение».

#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "UiTestSupport.h"
#include "base/FileIo.h"
#include "ui/unExplain.h"

namespace kvado::ui::test {
namespace {

class ExplainWindow : public MainWindowFixture {
protected:
    TfrmExplain* window() { return form->findChild<TfrmExplain*>(); }
    static std::vector<std::string> lines(const StringGridModel& g) {
        std::vector<std::string> out;
        for (int r = 0; r < g.rowCount(); ++r) {
            std::string line;
            for (int c = 0; c < g.colCount(); ++c)
                line += (c ? "|" : "") + g.cell(c, r);
            out.push_back(line);
        }
        return out;
    }
    InTempFolder folder;
};

TEST_F(ExplainWindow, ConflictThenNothing) {
    form->setDecimalSeparator(',');
    enterProblem("1", "0", "1", "2", {{"5", "1", "1"}, {"3", "1", "1"}, {"1", "1"}});
    type(0, 2, "Спрос");
    type(0, 3, "Мощность");
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Message, u(kNoFeasibleSolutionMessage)}}));
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(window()->lblSentence->text(),
              u("Сложив ограничения «Спрос» ×1 и «Мощность» ×(-1), получаем 0 ≥ 2: ограничения "
                "несовместны"));
    EXPECT_EQ(lines(window()->cells()),
              (std::vector<std::string>{"Ограничение|Вид|B|Множитель|В подмножестве",
                                        "«Спрос»|>=|5|1|да", "«Мощность»|<=|3|-1|да"}));
    EXPECT_EQ(window()->lblSubset->text(),
              u("Несовместное подмножество: «Спрос», «Мощность» (без любого из них остальные "
                "совместны)"));
    const auto report = form->session().report().lines();
    EXPECT_NE(std::find(report.begin(), report.end(), analysis::kExplainHeading), report.end());

    window()->btnClose->click();
    EXPECT_FALSE(window()->isVisible());
    form->idExplain->trigger();
    EXPECT_TRUE(window()->isVisible());

    // An optimum: the window goes, and the menu says there is nothing to explain.
    enterProblem("1", "0", "0", "1", {{"1", "1"}, {"1"}});
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_FALSE(window()->isVisible());
    toolkit.clear();
    form->idExplain->trigger();
    EXPECT_EQ(toolkit.texts(Kind::Message).size(), 1);
    EXPECT_FALSE(window()->isVisible());
}

// An LP file's model is explained in its own rows and columns, as kvado-cli's JSON tells it:
// the row multiplied by -1 keeps its name and sign, the upper bounds made rows are named by
// their columns.
TEST_F(ExplainWindow, ModelInItsOwnTerms) {
    form->setDecimalSeparator(',');
    writeFileBytes(folder.path(u("short.lp")).toStdString(),
                   "Minimize\n cost: x + y\nSubject To\n need: x + y >= 5\n"
                   " gap: x - y <= -3\nBounds\n x <= 1\n y <= 2\nEnd\n");
    toolkit.answerFileDialog(folder.path(u("short.lp")));
    form->idFileOpen->trigger();
    form->idEngineMethod->trigger(); // the sparse engine explains nothing
    toolkit.clear();
    form->btnSolve->click();
    EXPECT_EQ(entries(), (std::vector<Entry>{{Kind::Message, u(kNoFeasibleSolutionMessage)}}));
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(window()->lblSentence->text(),
              u("Ограничения «need» ×1, «gap» ×(-1) и «y<=2» ×(-2) вместе с границами "
                "переменных противоречат друг другу: ограничения несовместны"));
    EXPECT_EQ(window()->lblTerms->text(), u("Ограничения модели и их множители:"));
    EXPECT_EQ(lines(window()->cells()),
              (std::vector<std::string>{"Ограничение|Множитель|В подмножестве", "need|1|",
                                        "gap|-1|да", "y<=2|-2|да"}));
    EXPECT_EQ(window()->lblSubset->text(),
              u("Несовместное подмножество: «gap», верхняя граница «y» (без любого из них "
                "остальные совместны)"));
}

} // namespace
} // namespace kvado::ui::test
