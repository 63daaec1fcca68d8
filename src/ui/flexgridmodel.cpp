// Flex grid cell storage as a Qt table model; data rows are grid rows 1…n.
#include "ui/flexgridmodel.h"

#include <QColor>

FlexGridModel::FlexGridModel(int columns, int rows, QObject *parent)
    : QAbstractTableModel(parent), m_columns(columns > 0 ? columns : 1) {
    m_cells.resize(qsizetype(std::max(rows, 1)) * m_columns);
}

void FlexGridModel::setGridRows(int rows) {
    rows = std::max(rows, 1);
    const int old = gridRows();
    if (rows == old)
        return;
    if (rows > old) {
        beginInsertRows({}, old - 1, rows - 2);
        m_cells.resize(qsizetype(rows) * m_columns);
        endInsertRows();
    } else {
        beginRemoveRows({}, rows - 1, old - 2);
        m_cells.resize(qsizetype(rows) * m_columns);
        endRemoveRows();
    }
}

QString FlexGridModel::text(int row, int column) const {
    return valid(row, column) ? m_cells[qsizetype(row) * m_columns + column] : QString();
}

void FlexGridModel::setText(int row, int column, const QString &text) {
    if (!valid(row, column))
        return;
    QString &cell = m_cells[qsizetype(row) * m_columns + column];
    if (cell == text)
        return;
    cell = text;
    changed(row, column, column);
}

void FlexGridModel::setRowTexts(int row, const QStringList &texts) {
    if (!valid(row, 0))
        return;
    const int n = std::min<int>(int(texts.size()), m_columns);
    for (int c = 0; c < n; ++c)
        m_cells[qsizetype(row) * m_columns + c] = texts[c];
    if (n > 0)
        changed(row, 0, n - 1);
}

void FlexGridModel::changed(int row, int firstColumn, int lastColumn) {
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, firstColumn, lastColumn);
    else
        emit dataChanged(index(row - 1, firstColumn), index(row - 1, lastColumn), {Qt::DisplayRole});
}

int FlexGridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : gridRows() - 1; }

int FlexGridModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_columns; }

void FlexGridModel::setFileProblems(int fileColumn, const QHash<QString, QString> &problems) {
    if (fileColumn == m_fileColumn && problems == m_fileProblems)
        return;
    m_fileColumn = fileColumn;
    m_fileProblems = problems;
    if (gridRows() > 1)
        emit dataChanged(index(0, 0), index(gridRows() - 2, m_columns - 1), {Qt::ForegroundRole, Qt::ToolTipRole});
}

QString FlexGridModel::fileProblem(int row) const {
    if (m_fileProblems.isEmpty() || row < 1 || !valid(row, m_fileColumn))
        return {};
    return m_fileProblems.value(text(row, m_fileColumn));
}

QVariant FlexGridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row() + 1, index.column());
    if (role == Qt::ForegroundRole || role == Qt::ToolTipRole) {
        const QString problem = fileProblem(index.row() + 1);
        if (problem.isEmpty())
            return {};
        return role == Qt::ToolTipRole ? QVariant(problem) : QVariant(QColor(255, 0, 0));
    }
    return {};
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return text(0, section);
    return {};
}
