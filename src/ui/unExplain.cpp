#include "ui/unExplain.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "ui/FormBuilder.h"
#include "ui/StringGrid.h"

namespace kvado::ui {

namespace {

using analysis::Explanation;

void layOut(StringGridModel& cells, const std::vector<std::string>& titles, size_t count) {
    cells.clearCells();
    cells.setColCount(static_cast<int>(titles.size()));
    cells.setRowCount(static_cast<int>(count) + 1);
    cells.setFixedRows(1);
    cells.setFixedCols(1);
    for (size_t c = 0; c < titles.size(); ++c)
        cells.setCell(static_cast<int>(c), 0, titles[c]);
}

} // namespace

TfrmExplain::TfrmExplain(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmExplain",
            .caption = QString::fromUtf8("  Почему нет решения"),
            .clientSize = QSize(720, 330)},
           parent) {
    FormBuilder controls(this);
    auto label = [&](const char* name) {
        QLabel* l = controls.label(name);
        l->setWordWrap(true);
        return l;
    };
    lblSentence = label("lblSentence");
    QFont bold = lblSentence->font();
    bold.setBold(true);
    lblSentence->setFont(bold);
    lblTerms = label("lblTerms");
    SGTerms = controls.grid("SGTerms", m_cells);
    lblSubset = label("lblSubset");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSentence);
    layout->addWidget(lblTerms);
    layout->addWidget(SGTerms, 1);
    layout->addWidget(lblSubset);
    addCloseButtonRow(this, layout, btnClose);
}

// The grid stops observing the window's model before the model goes.
TfrmExplain::~TfrmExplain() {
    delete SGTerms;
}

void TfrmExplain::setExplanation(const LpProblem& p, const Explanation& e, const Names& names,
                                 char sep) {
    auto num = [sep](Real v) { return analysis::explainNumber(v, sep); };
    lblSentence->setText(QString::fromStdString(analysis::explanationSentence(p, e, names, sep)));
    StringGridModel::UpdateScope update(m_cells);
    if (e.kind == Explanation::Kind::Infeasible) {
        const analysis::Infeasibility& f = e.infeasibility;
        lblTerms->setText(QString::fromUtf8("Ограничения и их множители:"));
        layOut(m_cells, {"Ограничение", "Вид", "B", "Множитель", "В подмножестве"},
               f.rows.size() + f.columns.size());
        int row = 1;
        for (const analysis::Term& t : f.rows) {
            const bool member =
                std::find(f.subset.begin(), f.subset.end(), t.index) != f.subset.end();
            const std::string texts[] = {
                analysis::explainRowName(names, t.index), relationText(p.rowKind(t.index)),
                num(p.tableau(t.index, 0)), num(t.multiplier), member ? "да" : ""};
            for (int k = 0; k < 5; ++k)
                m_cells.setCell(k, row, texts[k]);
            ++row;
        }
        for (const analysis::Term& t : f.columns) {
            const std::string texts[] = {analysis::explainColumnName(names, t.index), ">=", num(0),
                                         num(t.multiplier), ""};
            for (int k = 0; k < 5; ++k)
                m_cells.setCell(k, row, texts[k]);
            ++row;
        }
        std::string subset = f.subsetNote;
        if (f.subsetComputed) {
            subset = "Несовместное подмножество:";
            for (size_t k = 0; k < f.subset.size(); ++k)
                subset += (k > 0 ? ", " : " ") + analysis::explainRowName(names, f.subset[k]);
            if (f.subset.size() > 1) subset += " (без любого из них остальные совместны)";
        }
        lblSubset->setText(QString::fromStdString(subset));
    } else if (e.kind == Explanation::Kind::Unbounded) {
        const analysis::Unboundedness& u = e.unboundedness;
        lblTerms->setText(QString::fromUtf8("Неизвестные, растущие вдоль луча:"));
        layOut(m_cells, {"Неизвестная", "Рост на единицу шага"}, u.ray.size());
        int row = 1;
        for (const analysis::Term& t : u.ray) {
            m_cells.setCell(0, row, analysis::explainColumnName(names, t.index));
            m_cells.setCell(1, row, num(t.multiplier));
            ++row;
        }
        lblSubset->setText(
            QString::fromStdString("Изменение Z на единицу шага: " + num(u.objectiveRate)));
    } else {
        lblTerms->clear();
        layOut(m_cells, {""}, 0);
        lblSubset->clear();
    }
    SGTerms->fitColumnsToText(400);
    btnClose->setFocus();
}

void TfrmExplain::showModelExplanation(const session::ExplanationTable& table) {
    lblSentence->setText(QString::fromStdString(table.sentence));
    lblTerms->setText(QString::fromStdString(table.termsHeading));
    {
        StringGridModel::UpdateScope update(m_cells);
        layOut(m_cells, table.titles.empty() ? std::vector<std::string>{""} : table.titles,
               table.rows.size());
        for (size_t r = 0; r < table.rows.size(); ++r)
            for (size_t c = 0; c < table.rows[r].size(); ++c)
                m_cells.setCell(static_cast<int>(c), static_cast<int>(r) + 1, table.rows[r][c]);
    }
    lblSubset->setText(QString::fromStdString(table.footer));
    SGTerms->fitColumnsToText(400);
    btnClose->setFocus();
    show();
    raise();
    activateWindow();
}

void TfrmExplain::showExplanation(const LpProblem& p, const Explanation& e, const Names& names,
                                  char sep) {
    setExplanation(p, e, names, sep);
    show();
    raise();
    activateWindow();
}

} // namespace kvado::ui
