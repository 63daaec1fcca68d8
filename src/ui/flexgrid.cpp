// The flex grid view: the header row as horizontal header, data rows below it.
#include "ui/flexgrid.h"

#include "ui/twips.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <utility>

FlexGrid::FlexGrid(int columns, QWidget *parent) : QTableView(parent), m_model(new FlexGridModel(columns, 2, this)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    setWordWrap(false);
    // Mouse movement counts as the operator's presence even without a button held.
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    // Keyboard moves make a row current like a click does, without the click handler.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            m_row = current.row() + 1;
    });
}

void FlexGrid::setRows(int rows) {
    m_model->setGridRows(rows);
    if (m_row >= Rows())
        m_row = Rows() - 1;
    if (m_row < 1 && Rows() > 1)
        m_row = 1;
}

void FlexGrid::setRow(int row) {
    if (row < 0 || row >= Rows())
        return;
    m_row = row;
    syncCurrent();
}

void FlexGrid::setCol(int column) {
    if (column < 0 || column >= Cols())
        return;
    m_col = column;
    syncCurrent();
}

void FlexGrid::setColSel(int column) {
    if (m_row < 1 || column < 0 || column >= Cols())
        return;
    const QModelIndex from = m_model->index(m_row - 1, std::min(m_col, column));
    const QModelIndex to = m_model->index(m_row - 1, std::max(m_col, column));
    selectionModel()->select(QItemSelection(from, to), QItemSelectionModel::ClearAndSelect);
}

void FlexGrid::setTopRow(int row) {
    if (row < 1 || row >= Rows())
        return;
    scrollTo(m_model->index(row - 1, 0), QAbstractItemView::PositionAtTop);
}

int FlexGrid::TopRow() const {
    const int r = rowAt(0);
    return r < 0 ? 0 : r + 1;
}

void FlexGrid::setColWidth(int column, int twips) {
    if (column < 0 || column >= Cols())
        return;
    if (m_colTwips.size() < Cols())
        m_colTwips.resize(Cols(), -1);
    m_colTwips[column] = twips;
    setColumnWidth(column, twipsToPixels(twips));
}

int FlexGrid::ColWidth(int column) const {
    if (column >= 0 && column < m_colTwips.size() && m_colTwips[column] >= 0)
        return m_colTwips[column];
    return pixelsToTwips(columnWidth(column));
}

int FlexGrid::WidthTwips() const { return pixelsToTwips(width()); }

void FlexGrid::syncCurrent() {
    if (m_row < 1) {
        // The header row: no item is chosen, and none may look chosen.
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(m_model->index(m_row - 1, m_col), QItemSelectionModel::NoUpdate);
}

void FlexGrid::mousePressEvent(QMouseEvent *event) {
    // Only the left button on a row chooses a row. A right click, or a click below the last
    // row, leaves the current row, which a command such as "修改" then acts on, as it is and
    // as it is drawn.
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        QTableView::mousePressEvent(event);
    else
        event->accept();
    emit MouseDown(event->button());
}

void FlexGrid::mouseMoveEvent(QMouseEvent *event) {
    QTableView::mouseMoveEvent(event);
    emit MouseMove();
}

void FlexGrid::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        QTableView::mouseReleaseEvent(event);
    else
        event->accept();
    emit MouseUp(event->button());
    if (std::exchange(m_afterDoubleClick, false))
        return;  // the release that ends a double click is not another click
    // A click on a data row makes it current before the click handler runs.
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.isValid()) {
        m_row = at.row() + 1;
        emit Click();
    }
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.isValid()) {
        m_row = at.row() + 1;
        m_afterDoubleClick = true;
        emit DblClick();
    }
}
