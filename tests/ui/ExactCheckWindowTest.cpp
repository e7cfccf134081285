// The results window's line under the objective: the exact check's verdict after a solve, and
// for a problem too large for the automatic check the button that runs it.
#include <QLabel>
#include <QPushButton>

#include "ResultsTestSupport.h"

namespace kvado::ui::test {
namespace {

class ExactLine : public MainWindowFixture {
protected:
    TfrmResults2& window() { return *form->windows().results2; }
    // Minimise -X1 subject to X1 <= 1, the row written `count` times, solved.
    void solveRows(int count) {
        std::vector<std::vector<const char*>> rows(static_cast<size_t>(count), {"1", "1"});
        rows.push_back({"-1"});
        const std::string L = std::to_string(count);
        enterProblem("0", "0", L.c_str(), "1", rows);
        toolkit.clear();
        form->btnSolve->click();
        ASSERT_EQ(toolkit.texts(Kind::Modal), QStringList{"TfrmResults2"});
    }
    InTempFolder folder;
};

TEST_F(ExactLine, CheckedAnswerIsGreenWithoutTheButton) {
    solveRows(2);
    EXPECT_EQ(window().lblExact->text(), u("Проверено точно: оптимально"));
    EXPECT_EQ(window().lblExact->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_TRUE(window().btnExact->isHidden());
}

// Above 300 rows the check does not run by itself; the button runs it behind its progress
// window, and the verdict and the report's section follow.
TEST_F(ExactLine, LargeProblemIsCheckedByTheButton) {
    solveRows(301);
    EXPECT_EQ(window().lblExact->text(), u("Точная проверка не выполнялась (задача велика)"));
    EXPECT_FALSE(window().btnExact->isHidden());
    toolkit.clear();
    window().btnExact->click();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{"dlgExactCheck"});
    EXPECT_EQ(window().lblExact->text(), u("Проверено точно: оптимально"));
    EXPECT_TRUE(window().btnExact->isHidden());
    const QStringList report = shownLines(form->windows().results->RE1);
    EXPECT_EQ(report.count(u("Проверено точно: оптимально")), 1);
    EXPECT_EQ(report.count(u("Точная проверка")), 2);
}

} // namespace
} // namespace kvado::ui::test
