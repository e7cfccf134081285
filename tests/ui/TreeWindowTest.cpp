// The integer side of the windows: the tree window «Дерево ветвлений» drawn and stepped through
// in the search's order, a node's relaxation replayed by the method into the step window and
// the graph of two unknowns with its whole points; the grid's marks set from the main window
// and undone; and a data file written from a marked grid, which offers LP instead.

#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "UiTestSupport.h"
#include "session/Messages.h"
#include "ui/unGomory.h"
#include "ui/unGraph.h"
#include "ui/unMipOptions.h"
#include "ui/unMipResults.h"
#include "ui/unSteps.h"
#include "ui/unTree.h"

namespace kvado::ui::test {
namespace {

// max 5·x1 + 4·x2, 6·x1 + 4·x2 <= 24, x1 + 2·x2 <= 6, x1 and x2 whole: the textbook search,
// root (3; 1,5) → x2 <= 1 (3,33; 1) → x1 <= 3 (3; 1) and x1 >= 4 (4; 0), the optimum 20, then
// x2 >= 2 (2; 2), cut off by the bound.
model::Model textbookModel() {
    model::Model m;
    m.sense = model::Sense::Maximize;
    for (const char* name : {"x1", "x2"}) {
        model::Column c{name, 0, 0, model::kInfinity};
        c.kind = model::ColumnKind::Integer;
        m.columns.push_back(c);
    }
    m.columns[0].cost = 5;
    m.columns[1].cost = 4;
    m.rows = {model::lessRow("c1", 24), model::lessRow("c2", 6)};
    m.entries = {{0, 0, 6}, {0, 1, 4}, {1, 0, 1}, {1, 1, 2}};
    return m;
}

mip::MipAnswer textbookSearch() {
    using F = mip::NodeFate;
    auto node = [](int id, int parent, int order, std::vector<mip::AddedBound> bounds, Real value,
                   std::vector<Real> plan, F fate) {
        mip::MipNode n;
        n.id = id;
        n.parent = parent;
        n.depth = static_cast<int32_t>(bounds.size());
        n.bounds = std::move(bounds);
        n.solved = true;
        n.value = value;
        n.plan = std::move(plan);
        n.fate = fate;
        n.order = order;
        return n;
    };
    const mip::AddedBound x2down{1, true, 1}, x2up{1, false, 2}, x1down{0, true, 3},
        x1up{0, false, 4};
    mip::MipAnswer a;
    a.tree.nodes = {
        node(0, -1, 0, {}, 21, {3, 1.5L}, F::Branched),
        node(1, 0, 1, {x2down}, 20.6666666666666667L, {3.3333333333333333L, 1}, F::Branched),
        node(2, 0, 4, {x2up}, 18, {2, 2}, F::PrunedByBound),
        node(3, 1, 2, {x2down, x1down}, 19, {3, 1}, F::Integer),
        node(4, 1, 3, {x2down, x1up}, 20, {4, 0}, F::Integer)};
    a.tree.nodes[0].branchColumn = 1;
    a.tree.nodes[0].branchValue = 1.5L;
    a.tree.nodes[0].down = 1;
    a.tree.nodes[0].up = 2;
    a.tree.nodes[1].branchColumn = 0;
    a.tree.nodes[1].branchValue = 3.3333333333333333L;
    a.tree.nodes[1].down = 3;
    a.tree.nodes[1].up = 4;
    a.tree.incumbent = 4;
    a.status = mip::MipStatus::Optimal;
    a.objective = 20;
    a.plan = {4, 0};
    a.nodes = 5;
    return a;
}

TEST(TreeNodeText, SaysTheBoundTheValueAndTheFate) {
    const model::Model m = textbookModel();
    const mip::MipAnswer a = textbookSearch();
    const std::vector<std::vector<std::string>> expected = {
        {"№1: исходная задача", "Z = 21", "ветвление: x2 = 1.5"},
        {"№2: x2 ≤ 1", "Z = 20.667", "ветвление: x1 = 3.3333"},
        {"№5: x2 ≥ 2", "Z = 18", "отсечена: не лучше найденного"},
        {"№3: x1 ≤ 3", "Z = 19", "целочисленное решение"},
        {"№4: x1 ≥ 4", "Z = 20", "целочисленное решение"}};
    for (size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(nodeBoxLines(m, a.tree.nodes[k], '.'), expected[k]) << "node " << k;
    mip::MipNode infeasible = a.tree.nodes[2];
    infeasible.fate = mip::NodeFate::Infeasible;
    EXPECT_EQ(nodeBoxLines(m, infeasible, ','),
              (std::vector<std::string>{"№5: x2 ≥ 2", "нет допустимых решений", "отброшена"}));
}

// The results window says each outcome in words, with the gap where the search was stopped
// or allowed one, and shows the plan only when there is one.
TEST(MipResultsWindow, SaysTheOutcomePlainly) {
    const model::Model m = textbookModel();
    struct Case {
        mip::MipStatus status;
        double gap;
        const char* text;
    };
    const Case cases[] = {
        {mip::MipStatus::Optimal, 0, "Найдено оптимальное целочисленное решение"},
        {mip::MipStatus::Optimal, 0.01,
         "Найдено целочисленное решение, оптимальное в пределах разрыва 1 %"},
        {mip::MipStatus::Feasible, 0.05,
         "Найдено целочисленное решение, но поиск остановлен до доказательства оптимальности: "
         "разрыв 5 %"},
        {mip::MipStatus::Infeasible, 0,
         "Целочисленного решения нет: ни один план с целыми значениями не удовлетворяет "
         "ограничениям"},
        {mip::MipStatus::Unbounded, 0,
         "Линейная релаксация не ограничена: целевая функция улучшается без конца, "
         "целочисленного оптимума нет"},
        {mip::MipStatus::Stopped, 0,
         "Поиск остановлен до того, как найдено хотя бы одно целочисленное решение"}};
    RecorderToolkit toolkit;
    TfrmMipResults window(toolkit);
    for (const Case& c : cases) {
        mip::MipAnswer a = textbookSearch();
        a.status = c.status;
        a.gap = c.gap;
        window.fill(m, a, ',');
        EXPECT_EQ(window.lblOutcome->text(), u(c.text));
        EXPECT_EQ(window.plan().rowCount(), a.hasSolution() ? 3 : 1);
    }
    mip::MipAnswer a = textbookSearch();
    a.rootSolved = true;
    a.rootValue = 21;
    a.hasBound = true;
    a.bound = 20;
    window.fill(m, a, ',');
    EXPECT_EQ(window.plan().cell(2, 1), "4");
    EXPECT_EQ(window.plan().cell(1, 2), "целое");
    EXPECT_TRUE(window.lblSummary->text().startsWith(
        u("Целевая функция (максимум): 20\nЗначение линейной релаксации: 21\nГраница (лучше не "
          "бывает): 20\nРазрыв: 0 %")));
}

class TreeWindow : public ::testing::Test {
protected:
    RecorderToolkit toolkit;
    TfrmTree window{toolkit};
    model::Model model = textbookModel();
    mip::MipAnswer answer = textbookSearch();
    InTempFolder folder;
};

TEST_F(TreeWindow, StepsThroughTheNodesInTheOrderTheyWereSolved) {
    window.setTree(model, answer, '.');
    ASSERT_EQ(window.steps(), 5);
    EXPECT_TRUE(window.lblInfo->text().contains(u("Целочисленный оптимум: Z = 20 (узел №4)")));
    // Step k shows the nodes solved up to it and makes its node the current one.
    const std::vector<int> order = {0, 1, 3, 4, 2};
    for (int k = 0; k < 5; ++k) {
        window.showStep(k);
        EXPECT_EQ(window.currentNode(), order[static_cast<size_t>(k)]);
        for (int id = 0; id < 5; ++id)
            EXPECT_EQ(window.view->shown(id), answer.tree.nodes[static_cast<size_t>(id)].order <= k)
                << "step " << k << ", node " << id;
    }
    // Keys as the buttons: Home, Right, End, Left; the ends stop there.
    QTest::keyClick(&window, Qt::Key_Home);
    EXPECT_EQ(window.step(), 0);
    EXPECT_FALSE(window.btnPrev->isEnabled());
    QTest::keyClick(&window, Qt::Key_Left);
    EXPECT_EQ(window.step(), 0);
    QTest::keyClick(&window, Qt::Key_Right);
    EXPECT_EQ(window.step(), 1);
    QTest::keyClick(&window, Qt::Key_End);
    EXPECT_EQ(window.step(), 4);
    EXPECT_FALSE(window.btnNext->isEnabled());
    QTest::keyClick(&window, Qt::Key_Right);
    EXPECT_EQ(window.step(), 4);
    QTest::keyClick(&window, Qt::Key_Left);
    EXPECT_EQ(window.step(), 3);
    // Children below their parent, the parent over their middle, leaves apart.
    window.btnLastClick();
    const auto box = [&](int id) { return window.view->boxOf(id); };
    for (int id : {1, 2})
        EXPECT_GT(box(id).top(), box(0).bottom());
    EXPECT_DOUBLE_EQ(box(1).center().x(), (box(3).center().x() + box(4).center().x()) / 2);
    EXPECT_GE(box(4).left(), box(3).right());
    EXPECT_GE(box(2).left(), box(4).right());
    // A node picked by the user tells its bounds and its branching.
    window.selectNode(1);
    EXPECT_TRUE(window.detailText().contains(u("добавлены границы x2 ≤ 1")));
    EXPECT_TRUE(window.detailText().contains(u("Ветвление по x1 = 3.3333: x1 ≤ 3 или x1 ≥ 4")));
}

TEST_F(TreeWindow, OpensANodesRelaxationInTheStepWindowAndTheSearchInTheGraph) {
    window.setTree(model, answer, '.');
    window.showStep(3); // node 4: x2 <= 1, x1 >= 4
    int passes = -1;
    toolkit.setModalAction([&](QDialog& d) {
        if (auto* steps = qobject_cast<TfrmSteps*>(&d)) passes = steps->lstPasses->count();
    });
    window.btnStepsClick();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{"TfrmSteps"});
    EXPECT_GT(passes, 0);
    ASSERT_NE(window.stepsWindow(), nullptr);

    // The graph at the last step: every branch's bound, the whole points, the optimum (4; 0).
    window.btnLastClick();
    toolkit.clear();
    window.btnGraphClick();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{"TfrmGraph"});
    ASSERT_NE(window.graphWindow(), nullptr);
    const GraphContents& c = window.graphWindow()->view->contents();
    EXPECT_TRUE(c.integerPoints);
    std::vector<std::string> labels;
    for (const auto& l : c.addedLines)
        labels.push_back(l.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"x2 ≤ 1", "x1 ≤ 3", "x1 ≥ 4", "x2 ≥ 2"}));
    ASSERT_TRUE(c.integerOptimum.has_value());
    EXPECT_EQ(c.integerOptimum->x1, 4);
    EXPECT_EQ(c.integerOptimum->x2, 0);
    EXPECT_EQ(c.problem.rows.size(), 2u);
}

class IntegerMarks : public MainWindowFixture {
protected:
    InTempFolder folder;
};

TEST_F(IntegerMarks, AreSetFromTheMenuShownInTheHeadingAndUndone) {
    enterProblem("0", "0", "2", "2", {{"24", "6", "4"}, {"6", "1", "2"}, {"-5", "-4"}});
    QAbstractItemModel* m = form->SG1->model();
    form->setColumnMark(3, ColumnMark::Binary);
    EXPECT_EQ(m->data(m->index(0, 3)).toString(), u(" A[i,2] 0/1"));
    EXPECT_EQ(grid().cell(3, 0), " A[i,2] ") << "the heading's text stays the grid's";
    form->SG1->setCurrentIndex(m->index(2, 2));
    form->idMarkClick(ColumnMark::Integer);
    EXPECT_EQ(grid().colMark(2), ColumnMark::Integer);
    EXPECT_TRUE(form->session().inputHasMarks());
    // Not an unknown's column: told, nothing marked.
    form->setColumnMark(1, ColumnMark::Integer);
    EXPECT_EQ(toolkit.texts(Kind::Message).size(), 1);
    EXPECT_EQ(grid().colMark(1), ColumnMark::None);
    // The grid's problem as a model has the marks as kinds, the binary one its bounds.
    const model::Model model =
        form->session().modelOfInput(form->session().inputContents({"0", "0", "2", "2", "1E-8"}));
    EXPECT_EQ(model.columns[0].kind, model::ColumnKind::Integer);
    EXPECT_EQ(model.columns[1].kind, model::ColumnKind::Binary);
    EXPECT_EQ(model.columns[1].upper, 1);
    form->SG1->undo();
    form->SG1->undo();
    EXPECT_FALSE(form->session().inputHasMarks());
    // A new table starts without marks.
    form->setColumnMark(2, ColumnMark::Integer);
    form->btnNewTab->click();
    EXPECT_FALSE(form->session().inputHasMarks());
}

// «Решить» on a marked grid searches for an integer plan: the results window says it and
// shows the plan, its tree is the one «Дерево ветвлений» shows; the relaxation asked for
// solves the grid by the method as before.
TEST_F(IntegerMarks, MakeSolveAnIntegerSearchWithItsTree) {
    enterProblem("0", "0", "2", "2", {{"24", "6", "4"}, {"6", "1", "2"}, {"-5", "-4"}});
    form->setColumnMark(2, ColumnMark::Integer);
    form->setColumnMark(3, ColumnMark::Integer);
    form->mipOptionsWindow()->rbOwn->setChecked(true);
    form->mipOptionsWindow()->btnOKClick();
    int treeSteps = -1;
    toolkit.setModalAction([&](QDialog& d) {
        if (auto* results = qobject_cast<TfrmMipResults*>(&d)) {
            EXPECT_EQ(results->lblOutcome->text(), u("Найдено оптимальное целочисленное решение"));
            EXPECT_EQ(results->plan().cell(2, 1), "4");
            EXPECT_EQ(results->plan().cell(2, 2), "0");
            results->btnTree->click();
        } else if (auto* tree = qobject_cast<TfrmTree*>(&d)) {
            treeSteps = tree->steps();
        }
    });
    form->btnSolve->click();
    EXPECT_EQ(toolkit.texts(Kind::Modal), (QStringList{"TfrmMipResults", "TfrmTree"}));
    const mip::MipAnswer* answer = form->session().lastMip();
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->status, mip::MipStatus::Optimal);
    EXPECT_EQ(answer->objective, -20) << "the grid minimises -5·X1 - 4·X2";
    EXPECT_EQ(treeSteps, static_cast<int>(answer->nodes));
    EXPECT_GE(treeSteps, 3);
    // The relaxation: the method's optimum 3; 1.5 in the results window.
    toolkit.clear();
    toolkit.setModalAction(nullptr);
    form->mipOptionsWindow()->cbRelax->setChecked(true);
    form->mipOptionsWindow()->btnOKClick();
    form->idSolveAgainClick();
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{"TfrmResults2"});
    EXPECT_NEAR(double(problem.value(2)), 1.5, 1e-12);
}

// «Отсечения Гомори» on the textbook problem: refused until every unknown is whole, then cut
// by cut to the optimum the branch and bound finds, the cuts drawn for two unknowns.
TEST_F(IntegerMarks, GomorysCutsReachTheIntegerOptimumAndDrawTheirCuts) {
    enterProblem("0", "0", "2", "2", {{"24", "6", "4"}, {"6", "1", "2"}, {"-5", "-4"}});
    form->setColumnMark(2, ColumnMark::Integer);
    form->idGomoryClick();
    EXPECT_EQ(toolkit.texts(Kind::Message).size(), 1) << "X2 is not marked yet";
    EXPECT_EQ(form->gomoryWindow(), nullptr);
    form->setColumnMark(3, ColumnMark::Integer);
    toolkit.clear();
    form->idGomoryClick();
    ASSERT_NE(form->gomoryWindow(), nullptr);
    EXPECT_EQ(toolkit.texts(Kind::Modal), QStringList{"TfrmGomory"});
    const QString text = form->gomoryWindow()->text();
    EXPECT_TRUE(text.startsWith(
        u("Отсечения Гомори\n(S[i] - избыток ограничения i вида >= или остаток ограничения "
          "вида <=; отсечение добавляется как новое ограничение)\n\n"
          "Шаг 1: релаксация исходной задачи\n"
          "  Z = -21, X[1] = 3, X[2] = 1.5")))
        << text.toStdString();
    EXPECT_TRUE(
        text.contains(u("Дробные части: f0 = 1.5 − 1 = 0.5; S[1]: (−0.125) − (−1) = 0.875")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(u("это целочисленный оптимум."))) << text.toStdString();
    toolkit.clear();
    form->gomoryWindow()->btnGraphClick();
    const GraphContents& c = form->gomoryWindow()->graphWindow()->view->contents();
    ASSERT_TRUE(c.integerOptimum.has_value());
    EXPECT_NEAR(double(c.integerOptimum->x1), 4, 1e-9);
    EXPECT_NEAR(double(c.integerOptimum->x2), 0, 1e-9);
    EXPECT_FALSE(c.addedLines.empty());
    // «В отчет» adds the derivation once.
    form->gomoryWindow()->btnReportClick();
    EXPECT_FALSE(form->gomoryWindow()->btnReport->isEnabled());
    const std::vector<std::string> lines = form->session().report().lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Отсечения Гомори"), 1);
}

TEST_F(IntegerMarks, DataFileOffersLpInstead) {
    enterProblem("0", "0", "1", "2", {{"7", "2", "3"}, {"-1", "-1"}});
    form->setColumnMark(2, ColumnMark::Integer);
    const QString question = QString::fromStdString(session::marksNotKeptQuestion("p.lp"));
    // Yes: the LP file instead of the data file.
    toolkit.answerFileDialog(folder.path("p.dat"));
    toolkit.answerYesNo(true);
    form->idWriteFileClick();
    EXPECT_EQ(toolkit.texts(Kind::Question), QStringList{question});
    EXPECT_TRUE(QFile::exists(folder.path("p.lp")));
    EXPECT_FALSE(QFile::exists(folder.path("p.dat")));
    QFile lp(folder.path("p.lp"));
    ASSERT_TRUE(lp.open(QIODevice::ReadOnly));
    EXPECT_TRUE(lp.readAll().contains("Generals")) << "the mark is kept in the LP file";
    // No: the data file, without its marks; a grid without marks is not asked about.
    toolkit.clear();
    toolkit.answerFileDialog(folder.path("p.dat"));
    toolkit.answerYesNo(false);
    form->idWriteFileClick();
    EXPECT_EQ(toolkit.texts(Kind::Question), QStringList{question});
    EXPECT_TRUE(QFile::exists(folder.path("p.dat")));
    toolkit.clear();
    form->setColumnMark(2, ColumnMark::None);
    toolkit.answerFileDialog(folder.path("q.dat"));
    form->idWriteFileClick();
    EXPECT_TRUE(toolkit.texts(Kind::Question).isEmpty());
    EXPECT_TRUE(QFile::exists(folder.path("q.dat")));
}

} // namespace
} // namespace kvado::ui::test
