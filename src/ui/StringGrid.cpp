#include "ui/StringGrid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <utility>

#include "ui/Form.h"

namespace kvado::ui {

StringGridAdapter::StringGridAdapter(StringGridModel& cells, QObject* parent)
    : QAbstractTableModel(parent), m_cells(cells), m_rows(cells.rowCount()),
      m_cols(cells.colCount()) {
    m_cells.setObserver(this);
}

StringGridAdapter::~StringGridAdapter() {
    m_cells.setObserver(nullptr);
}

int StringGridAdapter::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int StringGridAdapter::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

QVariant StringGridAdapter::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const ColumnMark mark = index.row() == 0 ? m_cells.colMark(index.column()) : ColumnMark::None;
    switch (role) {
    case Qt::DisplayRole:
        if (mark != ColumnMark::None)
            return QString::fromStdString(m_cells.cell(index.column(), 0)) + markText(mark);
        return QString::fromStdString(m_cells.cell(index.column(), index.row()));
    case Qt::EditRole:
        return QString::fromStdString(m_cells.cell(index.column(), index.row()));
    case Qt::ToolTipRole: {
        if (mark == ColumnMark::Integer)
            return QStringLiteral("Целая неизвестная: в решении принимает только целые значения");
        if (mark == ColumnMark::Binary)
            return QStringLiteral("Двоичная неизвестная: в решении принимает только 0 или 1");
        // A text cut at its column's edge can still be read whole.
        const std::string& text = m_cells.cell(index.column(), index.row());
        if (text.empty()) return {};
        return QString::fromStdString(text);
    }
    case Qt::BackgroundRole:
        if (mark == ColumnMark::Integer) return QBrush(QColor(255, 236, 179));
        if (mark == ColumnMark::Binary) return QBrush(QColor(200, 230, 255));
        if (m_cells.isFixed(index.column(), index.row())) return m_fixedBrush;
        return {};
    default:
        return {};
    }
}

QVariant StringGridAdapter::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Vertical || !m_rowLabels) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(m_rowLabels(section));
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

void StringGridAdapter::rowLabelsChanged() {
    if (m_rows > 0) emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
}

bool StringGridAdapter::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    if (m_cells.isFixed(index.column(), index.row())) return false;
    userStep([&] { userSet(index.column(), index.row(), value.toString().toStdString()); });
    return true;
}

void StringGridAdapter::userSet(int col, int row, std::string text) {
    if (m_cells.cell(col, row) == text) return;
    m_history.record(m_cells, col, row);
    m_cells.setCell(col, row, std::move(text));
}

void StringGridAdapter::userSetMark(int col, ColumnMark mark) {
    if (m_cells.colMark(col) == mark) return;
    m_history.recordMark(m_cells, col);
    m_cells.setColMark(col, mark);
}

QString StringGridAdapter::markText(ColumnMark mark) {
    switch (mark) {
    case ColumnMark::Integer:
        return QStringLiteral("целое");
    case ColumnMark::Binary:
        return QStringLiteral("0/1");
    case ColumnMark::None:
        break;
    }
    return {};
}

Qt::ItemFlags StringGridAdapter::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (m_cells.isFixed(index.column(), index.row())) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void StringGridAdapter::syncCounts() {
    const int rows = m_cells.rowCount();
    const int cols = m_cells.colCount();
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    if (cols > m_cols) {
        beginInsertColumns({}, m_cols, cols - 1);
        m_cols = cols;
        endInsertColumns();
    } else if (cols < m_cols) {
        beginRemoveColumns({}, cols, m_cols - 1);
        m_cols = cols;
        endRemoveColumns();
    }
}

void StringGridAdapter::countsChanged() {
    if (!m_userEdit) m_history.clear();
    syncCounts();
    rowLabelsChanged();
}

void StringGridAdapter::cellChanged(int col, int row) {
    if (!m_userEdit) m_history.clear();
    m_changed = true;
    if (col >= m_cols || row >= m_rows) return; // kept text outside the grid: nothing shows
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}

void StringGridAdapter::colMarkChanged(int col) {
    if (!m_userEdit) m_history.clear();
    m_changed = true;
    if (col >= m_cols || m_rows == 0) return;
    const QModelIndex i = index(0, col);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::BackgroundRole, Qt::ToolTipRole});
}

void StringGridAdapter::colWidthChanged(int col) {
    emit widthChanged(col);
}

void StringGridAdapter::gridChanged() {
    if (!m_userEdit) m_history.clear();
    m_changed = true;
    syncCounts();
    rowLabelsChanged();
    if (m_rows > 0 && m_cols > 0) emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1));
    emit widthsChanged();
}

StringGrid::StringGrid(QWidget* parent)
    : QTableView(parent), m_ownCells(std::make_unique<StringGridModel>(5, 5)), m_cells(*m_ownCells),
      m_adapter(new StringGridAdapter(m_cells, this)) {
    setUp();
}

StringGrid::StringGrid(StringGridModel& cells, QWidget* parent)
    : QTableView(parent), m_cells(cells), m_adapter(new StringGridAdapter(m_cells, this)) {
    setUp();
}

void StringGrid::setUp() {
    // Grey, as fixed cells are drawn, and clearly apart from the white of the others.
    m_adapter->setFixedBrush(palette().button().color().darker(112));
    setFont(gridFont());

    QHeaderView* h = horizontalHeader();
    QHeaderView* v = verticalHeader();
    h->hide();
    v->hide();
    h->setMinimumSectionSize(0);
    h->setDefaultSectionSize(StringGridModel::kDefaultColWidth);
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setHighlightSections(false);
    v->setMinimumSectionSize(1);
    v->setDefaultSectionSize(kRowHeight);
    v->setSectionResizeMode(QHeaderView::Fixed);

    setModel(m_adapter);
    setShowGrid(true);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditing(false);
    // Tab goes on to the next control.
    setTabKeyNavigation(false);
    viewport()->setMouseTracking(true);

    connect(m_adapter, &StringGridAdapter::widthChanged, this, &StringGrid::applyWidth);
    connect(m_adapter, &StringGridAdapter::widthsChanged, this, &StringGrid::applyAllWidths);
    // Widths the user drags go back into the model.
    connect(h, &QHeaderView::sectionResized, this, [this](int col, int, int width) {
        if (!m_settingAllWidths) m_cells.setColWidth(col, width);
    });
    // Columns that come into the grid take the model's width for them.
    connect(m_adapter, &QAbstractItemModel::columnsInserted, this, &StringGrid::applyAllWidths);
    applyAllWidths();
    offerHeadingMenu(this);
}

void StringGrid::offerHeadingMenu(QTableView* view) {
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
        const QModelIndex at = view->indexAt(pos);
        if (at.isValid() && at.row() == 0)
            emit headingMenuRequested(at.column(), view->viewport()->mapToGlobal(pos));
    });
}

// The adapter goes before the model it observes.
StringGrid::~StringGrid() {
    setModel(nullptr);
    delete m_adapter;
}

void StringGrid::showRowLabels(std::function<std::string(int row)> labels) {
    m_adapter->setRowLabels(std::move(labels));
    verticalHeader()->setMinimumWidth(22);
    verticalHeader()->show();
    m_adapter->rowLabelsChanged();
}

QTableView* StringGrid::frozenView() {
    auto* v = new QTableView(this);
    v->setModel(m_adapter);
    v->setSelectionModel(selectionModel());
    v->setFont(font());
    v->horizontalHeader()->hide();
    v->verticalHeader()->hide();
    v->verticalHeader()->setMinimumSectionSize(1);
    v->verticalHeader()->setDefaultSectionSize(kRowHeight);
    v->horizontalHeader()->setMinimumSectionSize(0);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    v->setSelectionMode(selectionMode());
    v->setWordWrap(false);
    v->setFrameShape(QFrame::NoFrame);
    v->setEditTriggers(m_editing ? QAbstractItemView::DoubleClicked
                                 : QAbstractItemView::NoEditTriggers);
    // The keyboard stays with the grid: a click here only picks the cell there, and the
    // current cell moving (the selection is the grid's) does not scroll a pane.
    v->setFocusPolicy(Qt::NoFocus);
    v->setAutoScroll(false);
    v->setStyleSheet(QStringLiteral("QTableView { border-right: 1px solid gray; }"));
    offerHeadingMenu(v);
    v->hide();
    return v;
}

void StringGrid::freezeHeadings() {
    if (m_frozenRow != nullptr) return;
    m_frozenRow = frozenView();
    m_frozenCol = frozenView();
    m_frozenCorner = frozenView();
    // The name column scrolls up and down with the grid, the heading row left and right.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_frozenCol->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_frozenRow->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int w) {
        for (QTableView* v : {m_frozenRow, m_frozenCol, m_frozenCorner})
            if (col < v->horizontalHeader()->count()) v->setColumnWidth(col, w);
        placeFrozen();
    });
    connect(m_adapter, &StringGridAdapter::widthsChanged, this, [this] { syncFrozenWidths(); });
    connect(m_adapter, &QAbstractItemModel::columnsInserted, this, [this] { syncFrozenWidths(); });
    connect(m_adapter, &QAbstractItemModel::modelReset, this, [this] { syncFrozenWidths(); });
    syncFrozenWidths();
}

void StringGrid::syncFrozenWidths() {
    if (m_frozenRow == nullptr) return;
    const int count = horizontalHeader()->count();
    for (QTableView* v : {m_frozenRow, m_frozenCol, m_frozenCorner}) {
        // The most columns share the grid's default width: one pass, then the others.
        v->horizontalHeader()->setDefaultSectionSize(horizontalHeader()->defaultSectionSize());
        const int cols = v == m_frozenRow ? count : std::min(count, 1);
        for (int c = 0; c < cols; ++c)
            if (v->columnWidth(c) != columnWidth(c)) v->setColumnWidth(c, columnWidth(c));
    }
    placeFrozen();
}

void StringGrid::placeFrozen() {
    if (m_frozenRow == nullptr) return;
    const QRect area = viewport()->geometry();
    const bool across = horizontalScrollBar()->value() > 0 && m_cells.colCount() > 1;
    const bool down = verticalScrollBar()->value() > 0 && m_cells.rowCount() > 1;
    const int colWidth = std::min(columnWidth(0), area.width());
    const int rowHeight = std::min(m_cells.rowCount() > 0 ? this->rowHeight(0) : 0, area.height());
    m_frozenCol->setGeometry(area.x(), area.y(), colWidth, area.height());
    m_frozenRow->setGeometry(area.x(), area.y(), area.width(), rowHeight);
    m_frozenCorner->setGeometry(area.x(), area.y(), colWidth, rowHeight);
    // Each pane follows the grid along its edge and stays at the start across it.
    m_frozenCol->verticalScrollBar()->setValue(verticalScrollBar()->value());
    m_frozenCol->horizontalScrollBar()->setValue(0);
    m_frozenRow->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    m_frozenRow->verticalScrollBar()->setValue(0);
    m_frozenCorner->horizontalScrollBar()->setValue(0);
    m_frozenCorner->verticalScrollBar()->setValue(0);
    m_frozenCol->setVisible(across);
    m_frozenRow->setVisible(down);
    m_frozenCorner->setVisible(across && down);
    m_frozenCol->raise();
    m_frozenRow->raise();
    m_frozenCorner->raise();
}

bool StringGrid::headingRowShown() const {
    return m_frozenRow != nullptr && m_frozenRow->isVisibleTo(this);
}

bool StringGrid::nameColumnShown() const {
    return m_frozenCol != nullptr && m_frozenCol->isVisibleTo(this);
}

void StringGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozen();
}

void StringGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    placeFrozen();
}

void StringGrid::setEditing(bool on) {
    m_editing = on;
    setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                       : QAbstractItemView::NoEditTriggers);
    // The frozen name column edits a name as the grid would, on a double click.
    for (QTableView* v : {m_frozenRow, m_frozenCol, m_frozenCorner})
        if (v != nullptr)
            v->setEditTriggers(on ? QAbstractItemView::DoubleClicked
                                  : QAbstractItemView::NoEditTriggers);
}

void StringGrid::applyWidth(int col) {
    if (col < horizontalHeader()->count() && columnWidth(col) != m_cells.colWidth(col))
        setColumnWidth(col, m_cells.colWidth(col));
}

// Qt takes time in proportion to the number of columns for every single column it resizes, so
// a layout that sets the widths one by one would cost the square of the columns: minutes for
// the widest problems. All sections can be set to one size in a single pass, though: that pass
// gives every column the most common width, and only the others are then set one by one.
void StringGrid::applyAllWidths() {
    QHeaderView* h = horizontalHeader();
    const int count = h->count();
    int differing = 0;
    for (int c = 0; c < count; ++c)
        if (h->sectionSize(c) != m_cells.colWidth(c)) ++differing;
    constexpr int oneByOne = 64;
    if (differing > oneByOne) {
        std::unordered_map<int, int> uses;
        int common = StringGridModel::kDefaultColWidth;
        int commonUses = 0;
        for (int c = 0; c < count; ++c) {
            const int n = ++uses[m_cells.colWidth(c)];
            if (n > commonUses) {
                common = m_cells.colWidth(c);
                commonUses = n;
            }
        }
        m_settingAllWidths = true;
        h->setDefaultSectionSize(common);
        m_settingAllWidths = false;
    }
    for (int c = 0; c < count; ++c)
        applyWidth(c);
}

QModelIndex StringGrid::freeCell(const QModelIndex& index) const {
    const int row = std::max(index.isValid() ? index.row() : 0, m_cells.fixedRows());
    const int col = std::max(index.isValid() ? index.column() : 0, m_cells.fixedCols());
    return model()->index(row, col); // invalid when outside the grid
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    return freeCell(QTableView::moveCursor(action, modifiers));
}

void StringGrid::focusInEvent(QFocusEvent* event) {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || m_cells.isFixed(current.column(), current.row())) {
        const QModelIndex free = freeCell(current);
        if (free.isValid()) setCurrentIndex(free);
    }
    QTableView::focusInEvent(event);
}

int StringGrid::sizingColumnAt(QPoint pos) const {
    constexpr int grip = 3;
    const int row = rowAt(pos.y());
    if (row < 0 || row >= m_cells.fixedRows()) return -1;
    const int col = columnAt(pos.x());
    if (col < 0) return -1;
    const int left = columnViewportPosition(col);
    const int right = left + columnWidth(col);
    if (std::abs(pos.x() - right) <= grip) return col;
    if (col > 0 && std::abs(pos.x() - left) <= grip) return col - 1;
    return -1;
}

// The headers are hidden, as the fixed rows stand in for them; their column borders are
// dragged in the fixed rows instead.
void StringGrid::mousePressEvent(QMouseEvent* event) {
    const int col =
        event->button() == Qt::LeftButton ? sizingColumnAt(event->position().toPoint()) : -1;
    if (col < 0) {
        // A click on a fixed cell neither selects nor moves the current cell.
        const QModelIndex hit = indexAt(event->position().toPoint());
        if (hit.isValid() && m_cells.isFixed(hit.column(), hit.row())) {
            setFocus(Qt::MouseFocusReason);
            event->accept();
            return;
        }
        // Shift+click extends the selection from the current cell, as in a spreadsheet; the
        // view would open the editor of a cell already selected.
        if (hit.isValid() && (event->modifiers() & Qt::ShiftModifier) &&
            event->button() == Qt::LeftButton && currentIndex().isValid()) {
            setFocus(Qt::MouseFocusReason);
            selectionModel()->select(QItemSelection(currentIndex(), freeCell(hit)),
                                     QItemSelectionModel::ClearAndSelect);
            m_shiftClick = true;
            event->accept();
            return;
        }
        QTableView::mousePressEvent(event);
        return;
    }
    m_sizingCol = col;
    m_sizingOffset = columnViewportPosition(col);
    event->accept();
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_sizingCol >= 0) {
        setColumnWidth(m_sizingCol, std::max(1, pos.x() - m_sizingOffset));
        event->accept();
        return;
    }
    if (event->buttons() == Qt::NoButton)
        viewport()->setCursor(sizingColumnAt(pos) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
    QTableView::mouseMoveEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (std::exchange(m_shiftClick, false)) {
        event->accept();
        return;
    }
    if (m_sizingCol >= 0) {
        m_sizingCol = -1;
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

// --- spreadsheet editing --------------------------------------------------------------------

void StringGrid::copySelection() {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return;
    int col0 = selected.first().column(), col1 = col0, row0 = selected.first().row(), row1 = row0;
    for (const QModelIndex& i : selected) {
        col0 = std::min(col0, i.column()), col1 = std::max(col1, i.column());
        row0 = std::min(row0, i.row()), row1 = std::max(row1, i.row());
    }
    if (m_editing) {
        QGuiApplication::clipboard()->setText(
            QString::fromStdString(tabularText(m_cells, col0, row0, col1, row1)));
        return;
    }
    // A grid to read goes to a spreadsheet with what names its columns and rows.
    QGuiApplication::clipboard()->setText(QString::fromStdString(
        headedTabularText(m_cells, col0, row0, col1, row1, m_copySeparator)));
}

void StringGrid::paste() {
    if (!m_editing) return;
    const CellBlock block = parseTabularText(QGuiApplication::clipboard()->text().toStdString());
    const QModelIndex at = freeCell(currentIndex());
    if (block.empty() || !at.isValid()) return;
    size_t width = 0;
    for (const auto& row : block)
        width = std::max(width, row.size());
    const int needCols = at.column() + static_cast<int>(width);
    const int needRows = at.row() + static_cast<int>(block.size());
    if ((needCols > m_cells.colCount() || needRows > m_cells.rowCount()) && m_growRequest)
        m_growRequest(needCols, needRows);
    const int cols = std::min(needCols, m_cells.colCount());
    const int rows = std::min(needRows, m_cells.rowCount());
    m_adapter->userStep([&] {
        StringGridModel::UpdateScope update(m_cells);
        for (int row = at.row(); row < rows; ++row) {
            const auto& cells = block[static_cast<size_t>(row - at.row())];
            for (int col = at.column(); col < cols; ++col) {
                const auto k = static_cast<size_t>(col - at.column());
                if (k < cells.size()) m_adapter->userSet(col, row, cells[k]);
            }
        }
    });
    selectionModel()->select(
        QItemSelection(model()->index(at.row(), at.column()), model()->index(rows - 1, cols - 1)),
        QItemSelectionModel::ClearAndSelect);
}

void StringGrid::deleteSelection() {
    if (!m_editing) return;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    m_adapter->userStep([&] {
        StringGridModel::UpdateScope update(m_cells);
        for (const QModelIndex& i : selected)
            if (!m_cells.isFixed(i.column(), i.row())) m_adapter->userSet(i.column(), i.row(), {});
    });
}

void StringGrid::undo() {
    if (!m_editing || !m_adapter->history().canUndo()) return;
    std::vector<std::pair<int, int>> cells;
    m_adapter->userStep([&] { cells = m_adapter->history().undo(m_cells); });
    // The undo itself is not a step to undo.
    QItemSelection restored;
    for (const auto& [col, row] : cells)
        if (col < m_cells.colCount() && row < m_cells.rowCount())
            restored.select(model()->index(row, col), model()->index(row, col));
    selectionModel()->select(restored, QItemSelectionModel::ClearAndSelect);
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (m_editing && (event->key() == Qt::Key_Delete) &&
               event->modifiers() == Qt::NoModifier) {
        deleteSelection();
    } else if (m_editing && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
               state() != EditingState) {
        setCurrentIndex(moveCursor(MoveDown, Qt::NoModifier));
    } else {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void StringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // The delegate ends an edit on Enter with SubmitModelCache.
    const bool moveOn = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, moveOn ? QAbstractItemDelegate::NoHint : hint);
    if (moveOn) setCurrentIndex(moveCursor(MoveDown, Qt::NoModifier));
}

void StringGrid::widenColumnToText(int col, int widest) {
    const QFontMetrics metrics(font());
    int width = m_cells.colWidth(col);
    for (int r = 0; r < m_cells.rowCount(); ++r) {
        // The heading as shown: a mark stands after its text.
        const QString text =
            r == 0 ? m_adapter->data(m_adapter->index(0, col), Qt::DisplayRole).toString()
                   : QString::fromStdString(m_cells.cell(col, r));
        width = std::max(width, std::min(widest, metrics.horizontalAdvance(text) + 14));
    }
    if (width != m_cells.colWidth(col)) m_cells.setColWidth(col, width);
}

void StringGrid::fitColumnsToText(int widest) {
    const QFontMetrics metrics(font());
    for (int c = 0; c < m_cells.colCount(); ++c) {
        int width = 40;
        for (int r = 0; r < m_cells.rowCount(); ++r)
            width = std::max(
                width, metrics.horizontalAdvance(QString::fromStdString(m_cells.cell(c, r))) + 14);
        m_cells.setColWidth(c, std::min(width, widest));
    }
    setCurrentIndex(QModelIndex());
    clearSelection();
}

} // namespace kvado::ui
