// The step window, from the main window's menu (a solve that records) and from the results
// window (the passes recorded afterwards): it shows the recorder's passes, one at a time, with
// the tableau whose pivot is highlighted, and saves them as RTF.

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "UiTestSupport.h"
#include "report/StepsReport.h"
#include "ui/unSteps.h"

namespace kvado::ui::test {
namespace {

class StepsWindow : public MainWindowFixture {
protected:
    // Maximise 3·x1 + 5·x2 under x1 <= 4, 2·x2 <= 12, 3·x1 + 2·x2 >= 3 (phase 1 included).
    void enterProblem() {
        MainWindowFixture::enterProblem(
            "1", "0", "2", "2", {{"3", "3", "2"}, {"4", "1", "0"}, {"12", "0", "2"}, {"-3", "-5"}});
        type(2, 1, "двери");
        type(0, 2, "спрос");
    }
    TfrmSteps* window() { return form->findChild<TfrmSteps*>(); }

    InTempFolder folder;
};

TEST_F(StepsWindow, ShowsTheRecordedPassesOneAtATimeAndSavesThem) {
    enterProblem();
    // Stepping through the window while it is shown, as a user would.
    std::vector<QString> titles, pivots;
    toolkit.setModalAction([&](QDialog& dialog) {
        auto& w = dynamic_cast<TfrmSteps&>(dialog);
        for (int k = 0; k < w.lstPasses->count(); ++k) {
            titles.push_back(w.lblTitle->text());
            const auto* t = w.tblTableau;
            QString pivot;
            for (int r = 0; r < t->rowCount(); ++r)
                for (int c = 0; c < t->columnCount(); ++c)
                    if (t->item(r, c) &&
                        t->item(r, c)->background().color() == QColor(255, 190, 120))
                        pivot = t->item(r, c)->text();
            pivots.push_back(pivot);
            w.btnNext->click();
        }
    });
    form->idStepsClick();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{"TfrmSteps"}) << "no results window";
    const StepRecorder* steps = form->session().steps();
    ASSERT_NE(steps, nullptr);
    ASSERT_EQ(steps->passes().size(), static_cast<size_t>(problem.pass));
    ASSERT_GE(problem.pass, 3);
    const StepNames names = form->session().stepNames(*steps);
    ASSERT_EQ(titles.size(), steps->passes().size());
    for (size_t k = 0; k < titles.size(); ++k) {
        const StepPass& s = steps->passes()[k];
        EXPECT_EQ(titles[k].toStdString(), report::passTitle(*steps, names, k));
        // The highlighted element is the pivot the solver divided by (the tableau is computed
        // again for display).
        EXPECT_EQ(pivots[k].isEmpty(), s.leavingRow == 0);
        if (s.leavingRow) {
            EXPECT_NEAR(pivots[k].toDouble(), static_cast<double>(s.pivot), 1e-4);
        }
    }
    EXPECT_NE(titles[0].indexOf(u("спрос")), -1) << "the artificial variable named by its row";

    TfrmSteps& w = *window();
    w.btnLastClick();
    EXPECT_EQ(w.current(), w.lstPasses->count() - 1);
    EXPECT_FALSE(w.btnNext->isEnabled());
    w.lstPasses->setCurrentRow(1);
    EXPECT_EQ(w.current(), 1);
    toolkit.answerFileDialog(folder.path(QStringLiteral("steps.rtf")));
    w.btnSave->click();
    QFile rtf(folder.path(QStringLiteral("steps.rtf")));
    ASSERT_TRUE(rtf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(rtf.readAll().startsWith("{\\rtf1"));
}

TEST_F(StepsWindow, FromTheResultsWindowThePassesOfTheSolveShown) {
    enterProblem();
    form->btnSolve->click();
    const int32_t passes = problem.pass;
    auto& results = *form->windows().results2;
    ASSERT_TRUE(results.btnSteps->isEnabled());
    int listed = -1;
    toolkit.setModalAction([&](QDialog& dialog) {
        if (auto* w = dynamic_cast<TfrmSteps*>(&dialog)) listed = w->lstPasses->count();
    });
    results.btnSteps->click();
    EXPECT_EQ(listed, passes);
    EXPECT_EQ(problem.pass, passes) << "the session's problem is left as the solve left it";
}

} // namespace
} // namespace kvado::ui::test
