// The cells of a flex grid: every row's texts, row 0 being the fixed header row.
#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    FlexGridModel(int columns, int rows, QObject *parent = nullptr);

    // Grid rows, header included.
    int gridRows() const { return int(m_cells.size() / m_columns); }
    int gridColumns() const { return m_columns; }
    // Keeps the cells of the rows that remain and adds empty rows. At least the header stays.
    void setGridRows(int rows);
    QString text(int row, int column) const;
    void setText(int row, int column, const QString &text);
    // A whole row at once: one change notice instead of one per cell.
    void setRowTexts(int row, const QStringList &texts);

    // Rows whose text in fileColumn is a key of problems are drawn in red, with the problem
    // as their tooltip. Only the look changes: texts stay as they are. An empty map clears.
    void setFileProblems(int fileColumn, const QHash<QString, QString> &problems);
    // The problem shown for a grid row (from 1), or empty.
    QString fileProblem(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool valid(int row, int column) const { return row >= 0 && column >= 0 && column < m_columns && row < gridRows(); }
    void changed(int row, int firstColumn, int lastColumn);

    int m_columns;
    QList<QString> m_cells;  // row-major, header row first
    int m_fileColumn = -1;
    QHash<QString, QString> m_fileProblems;  // file text → why it will not play
};
