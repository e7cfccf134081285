// The sensitivity window reached from the results window: what its grids show for a problem
// ranged on paper, and the report's section written once per solve.

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "UiTestSupport.h"
#include "analysis/RangingReport.h"
#include "ui/unRanges.h"

namespace kvado::ui::test {
namespace {

class RangesWindow : public MainWindowFixture {
protected:
    // The textbook product mix, maximise 3·x1 + 5·x2 as the minimum of −3·x1 − 5·x2, under
    // x1 <= 4, 2·x2 <= 12, 3·x1 + 2·x2 <= 18; named in the grid as a user names it.
    void enterProductMix() {
        form->setDecimalSeparator(',');
        enterProblem("0", "0", "3", "2",
                     {{"4", "1", "0"}, {"12", "0", "2"}, {"18", "3", "2"}, {"-3", "-5"}});
        type(2, 1, "двери");
        type(3, 1, "окна");
        type(0, 2, "цех1");
        type(0, 3, "цех2");
        type(0, 4, "цех3");
    }
    // Each line of a grid below its titles, cell texts joined by "|".
    static std::vector<std::string> lines(const StringGridModel& g) {
        std::vector<std::string> out;
        for (int r = 1; r < g.rowCount(); ++r) {
            std::string line;
            for (int c = 0; c < g.colCount(); ++c)
                line += (c ? "|" : "") + g.cell(c, r);
            out.push_back(line);
        }
        return out;
    }
    long sections() {
        const auto doc = form->session().report().lines();
        return std::count(doc.begin(), doc.end(), std::string(analysis::kSensitivityHeading));
    }
    TfrmResults2& results() { return *form->windows().results2; }

    InTempFolder folder; // where the trace log goes
};

TEST_F(RangesWindow, GridsShowTheRangesWorkedOnPaperAndTheReportGainsTheSectionOnce) {
    EXPECT_FALSE(results().btnRanges->isEnabled()) << "nothing solved yet";
    enterProductMix();
    form->btnSolve->click();
    ASSERT_TRUE(results().btnRanges->isEnabled());
    EXPECT_EQ(sections(), 0) << "a plain solve does not range";

    results().btnRanges->click();
    results().btnRanges->click();
    EXPECT_EQ(toolkit.texts(Kind::Modal),
              (QStringList{"TfrmResults2", "TfrmRanges", "TfrmRanges"}));
    EXPECT_EQ(sections(), 1);

    // On paper: rows 2 and 3 binding, x1 = (B3 − B2)/3, x2 = B2/2, Pi = (0; 1,5; 1); the
    // binding slacks' reduced costs −C2/2 + C1/3 and −C1/3 stay >= 0 for C1 in [−7,5; 0] and
    // C2 <= −2. A slack that enters or leaves is named by its row.
    auto* w = results().findChild<TfrmRanges*>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->lblNotes->isHidden()) << "a nondegenerate, unique optimum";
    EXPECT_EQ(w->columnCells().cell(12, 0), "Допуст. уменьшение");
    EXPECT_EQ(lines(w->columnCells()),
              (std::vector<std::string>{"двери|базисная|2|-3|0|-7,5|-45|цех2|0|-30|цех3|3|4,5",
                                        "окна|базисная|6|-5|0|−∞|—|—|-2|-18|цех2|3|+∞"}));
    EXPECT_EQ(lines(w->rowCells()),
              (std::vector<std::string>{"цех1|<=|2|2|0|4|2|-36|цех1|+∞|-36|—|+∞|2",
                                        "цех2|<=|12|0|1,5|12|6|-27|цех1|18|-45|двери|6|6",
                                        "цех3|<=|18|0|1|18|12|-30|двери|24|-42|цех1|6|6"}));

    // A new solve: the section again, once.
    form->idSolveAgainClick();
    EXPECT_EQ(sections(), 0);
    results().btnRanges->click();
    results().btnRanges->click();
    EXPECT_EQ(sections(), 1);

    // An opened data file replaces the numbers the basis belongs to: nothing to range.
    toolkit.answerFileDialog(folder.path("mix.dat"));
    form->idWriteFile->trigger();
    toolkit.answerFileDialog(folder.path("mix.dat"));
    form->idFileOpen->trigger();
    EXPECT_FALSE(results().btnRanges->isEnabled());
}

TEST_F(RangesWindow, NotesLineOfADegenerateOptimum) {
    // Minimise −x1 under x1 <= 2 and x1 + x2 <= 2: row 1's slack stays basic at 0.
    enterProblem("0", "0", "2", "2", {{"2", "1", "0"}, {"2", "1", "1"}, {"-1", "0"}});
    form->btnSolve->click();
    results().btnRanges->click();
    auto* w = results().findChild<TfrmRanges*>();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->lblNotes->isHidden());
    EXPECT_EQ(w->lblNotes->text(), QString::fromUtf8(analysis::kDegenerateLine));
}

} // namespace
} // namespace kvado::ui::test
