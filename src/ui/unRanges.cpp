#include "ui/unRanges.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <string>

#include "text/NumberText.h"
#include "ui/FormBuilder.h"
#include "ui/StringGrid.h"

namespace kvado::ui {

namespace {

constexpr const char* kNone = "—";

const char* const kColumnTitles[] = {"Неизвестная",
                                     "Статус",
                                     "Значение",
                                     "Цена",
                                     "Прив. цена",
                                     "Цена от",
                                     "Z от",
                                     "Огранич. снизу",
                                     "Цена до",
                                     "Z до",
                                     "Огранич. сверху",
                                     "Допуст. увеличение",
                                     "Допуст. уменьшение"};

const char* const kRowTitles[] = {"Ограничение",
                                  "Вид",
                                  "Расход",
                                  "Запас",
                                  "Тен. цена",
                                  "B",
                                  "B от",
                                  "Z от",
                                  "Огранич. снизу",
                                  "B до",
                                  "Z до",
                                  "Огранич. сверху",
                                  "Допуст. увеличение",
                                  "Допуст. уменьшение"};

// A grid of `titles` over `count` lines, the titles in its fixed first row.
template <size_t K>
void layOut(StringGridModel& cells, const char* const (&titles)[K], size_t count) {
    cells.clearCells();
    cells.setColCount(static_cast<int>(K));
    cells.setRowCount(static_cast<int>(count) + 1);
    cells.setFixedRows(1);
    cells.setFixedCols(1);
    for (size_t c = 0; c < K; ++c) {
        cells.setCell(static_cast<int>(c), 0, titles[c]);
    }
}

} // namespace

std::string rangeNumberText(Real v, char decimalSeparator) {
    if (std::isinf(v)) return v > 0 ? "+∞" : "−∞";
    return text::formatShortGeneral(v, decimalSeparator);
}

TfrmRanges::TfrmRanges(Toolkit& toolkit, QWidget* parent)
    : Form(toolkit,
           {.name = "TfrmRanges",
            .caption = QStringLiteral("  Анализ чувствительности"),
            .clientSize = QSize(1200, 560)},
           parent) {
    FormBuilder controls(this);
    lblNotes = controls.label("lblNotes");
    lblNotes->setVisible(false);
    lblColumns = controls.label("lblColumns", "Неизвестные: диапазоны цен");
    SGColumns = controls.grid("SGColumns", m_columns);
    lblRows = controls.label("lblRows", "Ограничения: диапазоны правых частей");
    SGRows = controls.grid("SGRows", m_rows);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNotes);
    layout->addWidget(lblColumns);
    layout->addWidget(SGColumns, 1);
    layout->addWidget(lblRows);
    layout->addWidget(SGRows, 1);
    addCloseButtonRow(this, layout, btnClose);
}

// The grids stop observing the window's models before the models go.
TfrmRanges::~TfrmRanges() {
    delete SGColumns;
    delete SGRows;
}

void TfrmRanges::setRanges(const analysis::Ranges& r, char sep) {
    auto num = [sep](Real v) { return rangeNumberText(v, sep); };
    auto opt = [sep](const std::optional<Real>& v) {
        return v ? rangeNumberText(*v, sep) : std::string(kNone);
    };
    auto name = [](const std::optional<std::string>& n) { return n.value_or(kNone); };

    QStringList notes;
    if (r.degenerate) notes << QString::fromUtf8(analysis::kDegenerateLine);
    if (r.otherOptima) notes << QString::fromUtf8(analysis::kOtherOptimaLine);
    lblNotes->setText(notes.join(QLatin1Char('\n')));
    lblNotes->setVisible(!notes.isEmpty());

    {
        StringGridModel::UpdateScope update(m_columns);
        layOut(m_columns, kColumnTitles, r.columns.size());
        int row = 1;
        for (const analysis::ColumnRange& c : r.columns) {
            const std::string texts[] = {c.name,
                                         c.basic ? "базисная" : "небазисная",
                                         num(c.value),
                                         num(c.cost),
                                         num(c.reducedCost),
                                         num(c.costLower),
                                         opt(c.objectiveAtCostLower),
                                         name(c.limitingAtCostLower),
                                         num(c.costUpper),
                                         opt(c.objectiveAtCostUpper),
                                         name(c.limitingAtCostUpper),
                                         num(c.allowableIncrease()),
                                         num(c.allowableDecrease())};
            for (int k = 0; k < static_cast<int>(std::size(texts)); ++k)
                m_columns.setCell(k, row, texts[k]);
            ++row;
        }
    }
    {
        StringGridModel::UpdateScope update(m_rows);
        layOut(m_rows, kRowTitles, r.rows.size());
        int row = 1;
        for (const analysis::RowRange& b : r.rows) {
            const std::string texts[] = {b.name,
                                         relationText(b.kind),
                                         num(b.activity),
                                         num(b.slack),
                                         num(b.shadowPrice),
                                         num(b.rhs),
                                         num(b.rhsLower),
                                         opt(b.objectiveAtRhsLower),
                                         name(b.limitingAtRhsLower),
                                         num(b.rhsUpper),
                                         opt(b.objectiveAtRhsUpper),
                                         name(b.limitingAtRhsUpper),
                                         num(b.allowableIncrease()),
                                         num(b.allowableDecrease())};
            for (int k = 0; k < static_cast<int>(std::size(texts)); ++k)
                m_rows.setCell(k, row, texts[k]);
            ++row;
        }
    }
    // Every number shows whole; the grids scroll sideways only when the window is narrower.
    SGColumns->fitColumnsToText();
    SGRows->fitColumnsToText();
    btnClose->setFocus();
}

void TfrmRanges::showRanges(const analysis::Ranges& ranges, char decimalSeparator) {
    setRanges(ranges, decimalSeparator);
    m_toolkit.showModal(*this);
}

} // namespace kvado::ui
