#include "ui/unTree.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "analysis/PlaneGeometry.h"
#include "model/ModelIo.h"
#include "model/StandardForm.h"
#include "session/NodeReplay.h"
#include "text/NumberText.h"
#include "ui/FormBuilder.h"
#include "ui/unGraph.h"
#include "ui/unSteps.h"

namespace kvado::ui {

namespace {

constexpr int kSlotWidth = TreeView::kBoxWidth + 14;
constexpr int kLevelHeight = TreeView::kBoxHeight + 44;
constexpr int kMargin = 12;

std::string number(Real v, char sep) {
    return text::formatShortGeneral(v, sep);
}

std::string columnName(const model::Model& m, int32_t c) {
    if (c >= 0 && static_cast<size_t>(c) < m.columns.size() &&
        !m.columns[static_cast<size_t>(c)].name.empty())
        return m.columns[static_cast<size_t>(c)].name;
    return "X[" + std::to_string(c + 1) + "]";
}

bool pruned(mip::NodeFate f) {
    return f == mip::NodeFate::PrunedByBound || f == mip::NodeFate::Infeasible;
}

} // namespace

std::string boundText(const model::Model& m, const mip::AddedBound& b, char sep) {
    return columnName(m, b.column) + (b.upper ? " ≤ " : " ≥ ") + number(b.value, sep);
}

std::vector<std::string> nodeBoxLines(const model::Model& m, const mip::MipNode& node, char sep) {
    std::vector<std::string> lines;
    std::string head = node.order >= 0 ? "№" + std::to_string(node.order + 1) + ": " : "";
    head += node.bounds.empty() ? "исходная задача" : boundText(m, node.bounds.back(), sep);
    lines.push_back(head);
    switch (node.fate) {
    case mip::NodeFate::Infeasible:
        lines.push_back("нет допустимых решений");
        break;
    case mip::NodeFate::Unbounded:
        lines.push_back("Z не ограничена");
        break;
    case mip::NodeFate::Open:
        lines.push_back("не решалась");
        break;
    default:
        lines.push_back("Z = " + number(node.value, sep));
        break;
    }
    switch (node.fate) {
    case mip::NodeFate::Branched:
        lines.push_back("ветвление: " + columnName(m, node.branchColumn) + " = " +
                        number(node.branchValue, sep));
        break;
    case mip::NodeFate::PrunedByBound:
        lines.push_back("отсечена: не лучше найденного");
        break;
    case mip::NodeFate::Integer:
        lines.push_back("целочисленное решение");
        break;
    case mip::NodeFate::Infeasible:
        lines.push_back("отброшена");
        break;
    case mip::NodeFate::Unbounded:
    case mip::NodeFate::Open:
        break;
    }
    return lines;
}

// --- the drawing -------------------------------------------------------------------------------

TreeView::TreeView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TreeView"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void TreeView::setTree(const model::Model* m, const mip::MipTree* tree, char sep) {
    m_model = m;
    m_tree = tree;
    m_separator = sep;
    m_order = -1;
    m_current = -1;
    layOut();
}

bool TreeView::shown(int id) const {
    if (m_tree == nullptr || id < 0 || static_cast<size_t>(id) >= m_tree->nodes.size())
        return false;
    const mip::MipNode& n = m_tree->nodes[static_cast<size_t>(id)];
    return n.order >= 0 && n.order <= m_order;
}

void TreeView::setShownOrder(int order) {
    m_order = order;
    m_current = -1;
    if (m_tree != nullptr)
        for (const mip::MipNode& n : m_tree->nodes)
            if (n.order == order) m_current = n.id;
    layOut();
}

void TreeView::setCurrent(int id) {
    if (!shown(id)) return;
    m_current = id;
    update();
}

QRectF TreeView::boxOf(int id) const {
    if (id < 0 || static_cast<size_t>(id) >= m_boxes.size()) return {};
    return m_boxes[static_cast<size_t>(id)];
}

void TreeView::layOut() {
    m_boxes.assign(m_tree != nullptr ? m_tree->nodes.size() : 0, QRectF());
    int leaves = 0, deepest = 0;
    // Leaves take the next slot from the left; a parent stands over the middle of its children.
    std::function<double(int)> place = [&](int id) -> double {
        const mip::MipNode& n = m_tree->nodes[static_cast<size_t>(id)];
        std::vector<double> xs;
        for (int child : {n.down, n.up})
            if (shown(child)) xs.push_back(place(child));
        const double x = xs.empty() ? leaves++ : (xs.front() + xs.back()) / 2;
        deepest = std::max(deepest, n.depth);
        m_boxes[static_cast<size_t>(id)] = QRectF(
            kMargin + x * kSlotWidth, kMargin + n.depth * kLevelHeight, kBoxWidth, kBoxHeight);
        return x;
    };
    if (!m_boxes.empty() && shown(0)) place(0);
    setMinimumSize(std::max(1, leaves) * kSlotWidth + 2 * kMargin,
                   (deepest + 1) * kLevelHeight + 2 * kMargin);
    resize(minimumSize());
    update();
}

void TreeView::paintEvent(QPaintEvent*) {
    if (m_tree == nullptr || m_model == nullptr) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QFont small = font();
    small.setPixelSize(11);
    p.setFont(small);
    // The branches first, each under the bound it adds.
    for (const mip::MipNode& n : m_tree->nodes) {
        if (!shown(n.id)) continue;
        for (int child : {n.down, n.up}) {
            if (!shown(child)) continue;
            const mip::MipNode& c = m_tree->nodes[static_cast<size_t>(child)];
            const QRectF from = boxOf(n.id), to = boxOf(child);
            const QPointF a(from.center().x(), from.bottom()), b(to.center().x(), to.top());
            p.setPen(QPen(QColor(90, 90, 90), 1.4));
            p.drawLine(a, b);
            if (!c.bounds.empty()) {
                const QPointF mid = (a + b) / 2;
                const QString label =
                    QString::fromStdString(boundText(*m_model, c.bounds.back(), m_separator));
                const QRectF r(mid.x() - 60, mid.y() - 9, 120, 18);
                p.fillRect(r, Qt::white);
                p.setPen(QColor(20, 60, 150));
                p.drawText(r, Qt::AlignCenter, label);
            }
        }
    }
    for (const mip::MipNode& n : m_tree->nodes) {
        if (!shown(n.id)) continue;
        const QRectF box = boxOf(n.id);
        const bool optimum = n.id == m_tree->incumbent;
        QColor fill = Qt::white;
        if (pruned(n.fate)) fill = QColor(222, 222, 222);
        if (n.fate == mip::NodeFate::Integer) fill = QColor(214, 240, 214);
        if (optimum) fill = QColor(170, 228, 170);
        p.setBrush(fill);
        QPen pen(pruned(n.fate) ? QColor(150, 150, 150) : QColor(40, 40, 40), 1.2);
        if (optimum) pen = QPen(QColor(0, 120, 0), 3);
        if (n.id == m_current) pen = QPen(QColor(30, 90, 220), 3);
        p.setPen(pen);
        p.drawRoundedRect(box, 6, 6);
        p.setPen(pruned(n.fate) ? QColor(120, 120, 120) : Qt::black);
        const std::vector<std::string> lines = nodeBoxLines(*m_model, n, m_separator);
        for (size_t k = 0; k < lines.size(); ++k)
            p.drawText(QRectF(box.left() + 4, box.top() + 3 + 17 * double(k), box.width() - 8, 17),
                       Qt::AlignHCenter | Qt::AlignVCenter, QString::fromStdString(lines[k]));
        if (optimum) {
            p.setPen(QColor(0, 110, 0));
            p.drawText(QRectF(box.left(), box.bottom() + 1, box.width(), 15), Qt::AlignHCenter,
                       QStringLiteral("целочисленный оптимум"));
        }
    }
}

void TreeView::mousePressEvent(QMouseEvent* event) {
    for (size_t id = 0; id < m_boxes.size(); ++id)
        if (shown(static_cast<int>(id)) && m_boxes[id].contains(event->position())) {
            setCurrent(static_cast<int>(id));
            emit nodeClicked(static_cast<int>(id));
            return;
        }
}

// --- the window --------------------------------------------------------------------------------

struct TfrmTree::Replay {
    session::NodeReplay node;
    std::unique_ptr<StepNames> names;
};

TfrmTree::TfrmTree(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmTree",
            .caption = QStringLiteral("  Дерево ветвлений"),
            .clientSize = QSize(760, 540)},
           parent) {
    FormBuilder controls(this);
    auto* layout = new QVBoxLayout(this);
    lblInfo = controls.label("lblInfo");
    lblInfo->setWordWrap(true);
    layout->addWidget(lblInfo);
    scroll = new QScrollArea(this);
    view = new TreeView;
    scroll->setWidget(view);
    scroll->setWidgetResizable(false);
    scroll->setBackgroundRole(QPalette::Base);
    layout->addWidget(scroll, 1);
    lblNode = controls.label("lblNode");
    lblNode->setWordWrap(true);
    lblNode->setMinimumHeight(48);
    layout->addWidget(lblNode);
    btnFirst = controls.button("btnFirst", "|< В начало");
    btnPrev = controls.button("btnPrev", "< Назад");
    btnNext = controls.button("btnNext", "Вперед >");
    btnLast = controls.button("btnLast", "Все узлы >|");
    btnSteps = controls.button("btnSteps", "Пошаговое решение узла");
    btnGraph = controls.button("btnGraph", "Графический метод");
    btnClose = controls.button("btnClose", "Закрыть");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnFirst, btnPrev, btnNext, btnLast, btnSteps, btnGraph})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    connect(btnFirst, &QPushButton::clicked, this, [this] { btnFirstClick(); });
    connect(btnPrev, &QPushButton::clicked, this, [this] { btnPrevClick(); });
    connect(btnNext, &QPushButton::clicked, this, [this] { btnNextClick(); });
    connect(btnLast, &QPushButton::clicked, this, [this] { btnLastClick(); });
    connectCommand(btnSteps, &QPushButton::clicked, this, m_toolkit, [this] { btnStepsClick(); });
    connectCommand(btnGraph, &QPushButton::clicked, this, m_toolkit, [this] { btnGraphClick(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(view, &TreeView::nodeClicked, this, [this](int) { showNode(); });
}

void TfrmTree::setTree(const model::Model& m, const mip::MipAnswer& answer, char sep) {
    m_model = &m;
    m_answer = &answer;
    m_separator = sep;
    m_byOrder.clear();
    for (const mip::MipNode& n : answer.tree.nodes)
        if (n.order >= 0) m_byOrder.push_back(n.id);
    std::sort(m_byOrder.begin(), m_byOrder.end(), [&](int a, int b) {
        return answer.tree.nodes[static_cast<size_t>(a)].order <
               answer.tree.nodes[static_cast<size_t>(b)].order;
    });
    view->setTree(&m, &answer.tree, sep);
    std::string info = "Узлов решено: " + std::to_string(m_byOrder.size()) + ". ";
    if (answer.tree.incumbent >= 0)
        info += "Целочисленный оптимум: Z = " + number(answer.objective, sep) + " (узел №" +
                std::to_string(answer.tree.nodes[static_cast<size_t>(answer.tree.incumbent)].order +
                               1) +
                "). ";
    info += "Серые узлы отсечены: их релаксация не лучше найденного целого решения или не имеет "
            "решений. Клавиши ← и → идут по узлам в порядке поиска.";
    lblInfo->setText(QString::fromStdString(info));
    btnGraph->setEnabled(m.columns.size() == 2);
    showStep(0);
}

void TfrmTree::showTree(const model::Model& m, const mip::MipAnswer& answer, char sep) {
    setTree(m, answer, sep);
    btnNext->setFocus();
    m_toolkit.showModal(*this);
}

void TfrmTree::showStep(int step) {
    if (m_byOrder.empty()) return;
    m_step = std::clamp(step, 0, steps() - 1);
    view->setShownOrder(m_step);
    btnFirst->setEnabled(m_step > 0);
    btnPrev->setEnabled(m_step > 0);
    btnNext->setEnabled(m_step + 1 < steps());
    btnLast->setEnabled(m_step + 1 < steps());
    showNode();
    scroll->ensureVisible(static_cast<int>(view->boxOf(view->current()).center().x()),
                          static_cast<int>(view->boxOf(view->current()).center().y()), 120, 80);
}

void TfrmTree::selectNode(int id) {
    view->setCurrent(id);
    showNode();
}

void TfrmTree::showNode() {
    const int id = view->current();
    if (m_answer == nullptr || id < 0) {
        lblNode->clear();
        btnSteps->setEnabled(false);
        return;
    }
    const mip::MipNode& n = m_answer->tree.nodes[static_cast<size_t>(id)];
    std::string t = "Узел №" + std::to_string(n.order + 1) + " (шаг " + std::to_string(m_step + 1) +
                    " из " + std::to_string(steps()) + "): ";
    if (n.bounds.empty()) {
        t += "исходная задача без условий целочисленности";
    } else {
        t += "добавлены границы ";
        for (size_t k = 0; k < n.bounds.size(); ++k)
            t += (k ? ", " : "") + boundText(*m_model, n.bounds[k], m_separator);
    }
    t += ".\n";
    if (n.fate == mip::NodeFate::Infeasible) {
        t += "Релаксация не имеет допустимых решений: узел отброшен.";
    } else if (n.fate == mip::NodeFate::Unbounded) {
        t += "Релаксация не ограничена.";
    } else if (n.solved) {
        t += "Релаксация: Z = " + number(n.value, m_separator);
        for (size_t c = 0; c < n.plan.size() && c < 12; ++c)
            t += ", " + columnName(*m_model, static_cast<int32_t>(c)) + " = " +
                 number(n.plan[c], m_separator);
        if (n.plan.size() > 12) t += ", ...";
        t += ".\n";
        switch (n.fate) {
        case mip::NodeFate::Branched:
            t += "Ветвление по " + columnName(*m_model, n.branchColumn) + " = " +
                 number(n.branchValue, m_separator) + ": " + columnName(*m_model, n.branchColumn) +
                 " ≤ " + number(std::floor(n.branchValue), m_separator) + " или " +
                 columnName(*m_model, n.branchColumn) + " ≥ " +
                 number(std::ceil(n.branchValue), m_separator) + ".";
            break;
        case mip::NodeFate::PrunedByBound:
            t += "Отсечен по границе: его релаксация не лучше найденного целого решения.";
            break;
        case mip::NodeFate::Integer:
            t += id == m_answer->tree.incumbent ? "План целочисленный: это найденный оптимум."
                                                : "План целочисленный.";
            break;
        default:
            break;
        }
    }
    lblNode->setText(QString::fromStdString(t));
    btnSteps->setEnabled(n.solved && n.solver == mip::NodeSolver::Method);
}

QString TfrmTree::detailText() const {
    return lblNode->text();
}

void TfrmTree::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        btnPrevClick();
        return;
    case Qt::Key_Right:
        btnNextClick();
        return;
    case Qt::Key_Home:
        btnFirstClick();
        return;
    case Qt::Key_End:
        btnLastClick();
        return;
    default:
        Form::keyPressEvent(event);
    }
}

void TfrmTree::btnStepsClick() {
    const int id = view->current();
    if (m_answer == nullptr || id < 0) return;
    auto replay = std::make_shared<Replay>();
    replay->node = session::replayNode(*m_model, m_answer->tree.nodes[static_cast<size_t>(id)]);
    if (!replay->node.refused.empty()) {
        m_toolkit.showMessage(QString::fromStdString(replay->node.refused));
        return;
    }
    replay->names = std::make_unique<StepNames>(*replay->node.steps, replay->node.names);
    m_replay = replay;
    if (m_stepsWindow == nullptr) m_stepsWindow = new TfrmSteps(m_toolkit, this);
    m_stepsWindow->showSteps(m_replay->node.problem, *m_replay->node.steps, *m_replay->names,
                             m_separator);
}

void TfrmTree::btnGraphClick() {
    if (m_model == nullptr || m_answer == nullptr) return;
    const model::StandardForm sf = model::toStandardForm(model::relaxation(*m_model));
    if (!sf.infeasible.empty() || !session::planeIsModels(*m_model, sf)) {
        m_toolkit.showMessage(QStringLiteral(
            "Графический метод строится для задачи с двумя неизвестными X1 >= 0, X2 >= 0"));
        return;
    }
    LpProblem problem;
    model::loadProblem(sf, model::kModelEps, problem);
    GraphContents c;
    c.problem = analysis::planeProblemOf(problem, sf.rowNames);
    c.solution = analysis::solvePlane(c.problem);
    c.x1Name = columnName(*m_model, 0);
    c.x2Name = columnName(*m_model, 1);
    c.decimalSeparator = m_separator;
    c.integerPoints = true;
    // Every bound a branch shown so far added, once.
    for (int k = 0; k <= m_step && k < steps(); ++k) {
        const mip::MipNode& n = m_answer->tree.nodes[static_cast<size_t>(m_byOrder[k])];
        if (n.bounds.empty()) continue;
        const mip::AddedBound& b = n.bounds.back();
        const GraphContents::Line line{b.column == 0 ? Real(1) : Real(0),
                                       b.column == 1 ? Real(1) : Real(0), b.value,
                                       boundText(*m_model, b, m_separator)};
        c.addedLines.push_back(line);
    }
    if (m_answer->hasSolution() && m_answer->plan.size() == 2)
        c.integerOptimum = analysis::PlanePoint{m_answer->plan[0], m_answer->plan[1]};
    if (m_graphWindow == nullptr) m_graphWindow = new TfrmGraph(m_toolkit, this);
    m_graphWindow->showContents(std::move(c));
}

} // namespace kvado::ui
