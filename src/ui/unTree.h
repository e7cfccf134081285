#pragma once
// Window «Дерево ветвлений» (TfrmTree): the tree the program's branch and bound searched, drawn
// node by node (the bound each branch added, the relaxation's value, the unknown branched on
// and its two sides; nodes cut off greyed, the integer optimum marked), stepped through in the
// order the search solved the nodes. A node's relaxation opens in the step window, and a
// problem of two unknowns in the graphical method with its whole points and the branches'
// bounds.

#include <QWidget>
#include <string>
#include <vector>

#include "mip/MipTree.h"
#include "model/Model.h"
#include "ui/Form.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace kvado::ui {

class TfrmSteps;
class TfrmGraph;

// A node's lines as its box shows them: the bound its branch added (the root: «исходная
// задача»), the relaxation's value, and what became of it (the branching unknown with its
// value, or cut off, infeasible, integer).
std::vector<std::string> nodeBoxLines(const model::Model& m, const mip::MipNode& node,
                                      char decimalSeparator);
// "X1 ≤ 2", "X1 ≥ 3".
std::string boundText(const model::Model& m, const mip::AddedBound& b, char decimalSeparator);

// The drawing: nodes by depth, leaves side by side, each parent over its children.
class TreeView : public QWidget {
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);
    void setTree(const model::Model* m, const mip::MipTree* tree, char decimalSeparator);
    // The nodes solved up to `order` (the search's order) are drawn; -1: none; the node
    // solved at that step is the current one unless another is picked.
    void setShownOrder(int order);
    void setCurrent(int id);
    int current() const { return m_current; }
    bool shown(int id) const;
    // Where node `id` is drawn (its box), empty when it is not.
    QRectF boxOf(int id) const;

    static constexpr int kBoxWidth = 158, kBoxHeight = 58;

signals:
    void nodeClicked(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void layOut();
    const model::Model* m_model = nullptr;
    const mip::MipTree* m_tree = nullptr;
    char m_separator = ',';
    int m_order = -1;
    int m_current = -1;
    std::vector<QRectF> m_boxes; // by id; empty rectangles for nodes not drawn
};

class TfrmTree : public Form {
    Q_OBJECT
public:
    explicit TfrmTree(Toolkit& toolkit, QWidget* parent = nullptr);

    // Fills the window with the search of `m` (kept by the caller while the window shows it)
    // at its first step.
    void setTree(const model::Model& m, const mip::MipAnswer& answer, char decimalSeparator);
    void showTree(const model::Model& m, const mip::MipAnswer& answer, char decimalSeparator);

    // The step shown: the node solved `step`-th (0-based); steps() of them in all.
    int step() const { return m_step; }
    int steps() const { return static_cast<int>(m_byOrder.size()); }
    void showStep(int step);
    // The node whose details show (the step's, or one clicked).
    int currentNode() const { return view->current(); }
    void selectNode(int id);
    QString detailText() const;

    // --- handlers ------------------------------------------------------------------------
    void btnFirstClick() { showStep(0); }
    void btnPrevClick() { showStep(m_step - 1); }
    void btnNextClick() { showStep(m_step + 1); }
    void btnLastClick() { showStep(steps() - 1); }
    // The current node's relaxation solved again by the method, its passes in the step window.
    void btnStepsClick();
    // Two unknowns: the root relaxation in the plane with its whole points, the bounds of the
    // branches shown so far and the integer optimum.
    void btnGraphClick();

    // --- controls ------------------------------------------------------------------------
    QLabel* lblInfo;
    QScrollArea* scroll;
    TreeView* view;
    QLabel* lblNode;
    QPushButton* btnFirst;
    QPushButton* btnPrev;
    QPushButton* btnNext;
    QPushButton* btnLast;
    QPushButton* btnSteps;
    QPushButton* btnGraph;
    QPushButton* btnClose;
    TfrmSteps* stepsWindow() const { return m_stepsWindow; }
    TfrmGraph* graphWindow() const { return m_graphWindow; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showNode();
    const model::Model* m_model = nullptr;
    const mip::MipAnswer* m_answer = nullptr;
    char m_separator = ',';
    std::vector<int> m_byOrder; // node ids in the order they were solved
    int m_step = 0;
    TfrmSteps* m_stepsWindow = nullptr;
    TfrmGraph* m_graphWindow = nullptr;
    // The replay the step window shows: it must outlive its showing.
    struct Replay;
    std::shared_ptr<Replay> m_replay;
};

} // namespace kvado::ui
