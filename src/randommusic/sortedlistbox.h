// A list box that keeps its entries in List2's order, whatever the order they are added in.
#pragma once
#include <QHash>
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

    // Entries that are keys of problems are drawn in red with the problem as tooltip; the
    // others in the usual colour. The texts stay as they are.
    void showFileProblems(const QHash<QString, QString> &problems);
};
