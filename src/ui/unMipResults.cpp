#include "ui/unMipResults.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "text/NumberText.h"
#include "ui/FormBuilder.h"
#include "ui/StringGrid.h"
#include "ui/Unit3.h"

namespace kvado::ui {

namespace {

std::string number(Real v, char sep) {
    return text::formatShortGeneral(v, sep);
}

std::string percent(double gap, char sep) {
    return text::formatShortGeneral(Real(gap * 100), sep) + " %";
}

const char* kindText(model::ColumnKind k) {
    switch (k) {
    case model::ColumnKind::Integer:
        return "целое";
    case model::ColumnKind::Binary:
        return "0/1";
    case model::ColumnKind::Continuous:
        break;
    }
    return "непрерывное";
}

} // namespace

std::string mipOutcomeText(const mip::MipAnswer& a, char sep) {
    switch (a.status) {
    case mip::MipStatus::Optimal:
        if (a.gap > 1e-9)
            return "Найдено целочисленное решение, оптимальное в пределах разрыва " +
                   percent(a.gap, sep);
        return "Найдено оптимальное целочисленное решение";
    case mip::MipStatus::Feasible:
        return "Найдено целочисленное решение, но поиск остановлен до доказательства "
               "оптимальности: разрыв " +
               percent(a.gap, sep);
    case mip::MipStatus::Infeasible:
        return "Целочисленного решения нет: ни один план с целыми значениями не удовлетворяет "
               "ограничениям";
    case mip::MipStatus::Unbounded:
        return "Линейная релаксация не ограничена: целевая функция улучшается без конца, "
               "целочисленного оптимума нет";
    case mip::MipStatus::Stopped:
        break;
    }
    return "Поиск остановлен до того, как найдено хотя бы одно целочисленное решение";
}

std::vector<std::string> mipSummaryLines(const model::Model& m, const mip::MipAnswer& a, char sep) {
    std::vector<std::string> lines;
    const char* sense = m.sense == model::Sense::Maximize ? "максимум" : "минимум";
    if (a.hasSolution())
        lines.push_back(std::string("Целевая функция (") + sense +
                        "): " + number(a.objective, sep));
    if (a.rootSolved) lines.push_back("Значение линейной релаксации: " + number(a.rootValue, sep));
    if (a.hasBound) lines.push_back("Граница (лучше не бывает): " + number(a.bound, sep));
    if (a.hasSolution()) lines.push_back("Разрыв: " + percent(a.gap, sep));
    lines.push_back("Узлов: " + text::intText(a.nodes) + "; поиск: " +
                    (a.engine == mip::MipEngine::Glpk ? "метод ветвей и отсечений GLPK"
                                                      : "метод ветвей и границ программы") +
                    "; время: " + number(Real(std::round(a.seconds * 100) / 100), sep) + " с");
    return lines;
}

TfrmMipResults::TfrmMipResults(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmMipResults",
            .caption = QStringLiteral("  Целочисленное решение"),
            .clientSize = QSize(560, 440)},
           parent),
      m_plan(std::make_unique<StringGridModel>(3, 1)) {
    FormBuilder controls(this);
    auto* layout = new QVBoxLayout(this);
    lblOutcome = controls.label("lblOutcome");
    lblOutcome->setWordWrap(true);
    QFont bold = lblOutcome->font();
    bold.setBold(true);
    lblOutcome->setFont(bold);
    layout->addWidget(lblOutcome);
    lblSummary = controls.label("lblSummary");
    layout->addWidget(lblSummary);
    m_plan->setFixedRows(1);
    SGPlan = new StringGrid(*m_plan, this);
    SGPlan->setObjectName(QStringLiteral("SGPlan"));
    layout->addWidget(SGPlan, 1);
    auto* buttons = new QHBoxLayout;
    btnTree = controls.dialogButton("btnTree", "Дерево ветвлений");
    btnText = controls.dialogButton("btnText", "Текстовый отчет");
    btnClose = controls.dialogButton("btnClose", "Закрыть");
    btnClose->setDefault(true);
    buttons->addWidget(btnTree);
    buttons->addWidget(btnText);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    connectCommand(btnTree, &QPushButton::clicked, this, m_toolkit, [this] {
        if (m_treeCommand) m_treeCommand();
    });
    connectCommand(btnText, &QPushButton::clicked, this, m_toolkit, [this] {
        if (m_reportWindow != nullptr) m_toolkit.showModal(*m_reportWindow);
    });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

// The grid goes before the model it shows.
TfrmMipResults::~TfrmMipResults() {
    delete SGPlan;
}

void TfrmMipResults::fill(const model::Model& m, const mip::MipAnswer& a, char sep) {
    lblOutcome->setText(QString::fromStdString(mipOutcomeText(a, sep)));
    lblOutcome->setStyleSheet(a.hasSolution() ? QStringLiteral("color: darkgreen")
                                              : QStringLiteral("color: darkred"));
    QString summary;
    for (const std::string& line : mipSummaryLines(m, a, sep))
        summary += QString::fromStdString(line) + QLatin1Char('\n');
    lblSummary->setText(summary.trimmed());
    const int rows = a.hasSolution() ? static_cast<int>(m.columns.size()) : 0;
    {
        StringGridModel::UpdateScope update(*m_plan);
        m_plan->clearCells();
        m_plan->setRowCount(rows + 1);
        m_plan->setCell(0, 0, "Неизвестная");
        m_plan->setCell(1, 0, "Вид");
        m_plan->setCell(2, 0, "Значение");
        for (int j = 0; j < rows; ++j) {
            const model::Column& c = m.columns[static_cast<size_t>(j)];
            m_plan->setCell(0, j + 1, c.name);
            m_plan->setCell(1, j + 1, kindText(c.kind));
            if (static_cast<size_t>(j) < a.plan.size())
                m_plan->setCell(2, j + 1, number(a.plan[static_cast<size_t>(j)], sep));
        }
    }
    SGPlan->fitColumnsToText(300);
    btnTree->setEnabled(!a.tree.nodes.empty());
    // The tree is the next thing a student looks at.
    (a.tree.nodes.empty() ? btnClose : btnTree)->setFocus();
}

void TfrmMipResults::showAnswer(const model::Model& m, const mip::MipAnswer& a, char sep) {
    fill(m, a, sep);
    m_toolkit.showModal(*this);
}

} // namespace kvado::ui
