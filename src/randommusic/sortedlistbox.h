// A list box that keeps its entries in List2's order, whatever the order they are added in.
#pragma once
#include <QListWidget>
#include <QStringList>

class SortedListBox : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

    // Puts the entry at its place: after the entries before it in order and those equal to it.
    void addSorted(const QString &text);
    // Replaces every entry with these, in order.
    void setEntries(QStringList texts);
    // The entries from the first row to the last.
    QStringList entries() const;
};
