// A flex grid: rows of texts with a fixed header row, current row, selection and scrolling.
#pragma once
#include "ui/flexgridmodel.h"

#include <QTableView>

class FlexGrid : public QTableView {
    Q_OBJECT
public:
    // A grid starts with the header row and one empty data row.
    FlexGrid(int columns, QWidget *parent = nullptr);

    FlexGridModel *cells() const { return m_model; }

    int Rows() const { return m_model->gridRows(); }
    void setRows(int rows);
    int Cols() const { return m_model->gridColumns(); }
    QString TextMatrix(int row, int column) const { return m_model->text(row, column); }
    void setTextMatrix(int row, int column, const QString &text) { m_model->setText(row, column, text); }

    // The current row: 0 when the grid has no data rows.
    int Row() const { return m_row; }
    void setRow(int row);
    void setCol(int column);
    // Selects the current row from the current column through this one.
    void setColSel(int column);
    void setTopRow(int row);
    int TopRow() const;

    void setColWidth(int column, int twips);
    int ColWidth(int column) const;
    int WidthTwips() const;

signals:
    void Click();
    void DblClick();
    void MouseDown(Qt::MouseButton button);
    void MouseMove();
    void MouseUp(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void syncCurrent();

    FlexGridModel *m_model;
    int m_row = 1;
    int m_col = 0;
    bool m_afterDoubleClick = false;
    QList<int> m_colTwips;  // widths as set, before rounding to pixels
};
