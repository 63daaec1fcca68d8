// The sorted list box.
#include "randommusic/sortedlistbox.h"

#include "randommusic/musicrules.h"

#include <QColor>

#include <algorithm>

void SortedListBox::addSorted(const QString &text) {
    int low = 0, high = count();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (musicrules::songLess(text, item(mid)->text()))
            high = mid;
        else
            low = mid + 1;
    }
    insertItem(low, text);
}

void SortedListBox::setEntries(QStringList texts) {
    std::stable_sort(texts.begin(), texts.end(), musicrules::songLess);
    clear();
    addItems(texts);
}

QStringList SortedListBox::entries() const {
    QStringList texts;
    texts.reserve(count());
    for (int i = 0; i < count(); ++i)
        texts << item(i)->text();
    return texts;
}

void SortedListBox::showFileProblems(const QHash<QString, QString> &problems) {
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem *entry = item(i);
        const QString problem = problems.value(entry->text());
        const QVariant colour = problem.isEmpty() ? QVariant() : QVariant(QColor(255, 0, 0));
        if (entry->data(Qt::ForegroundRole) != colour)
            entry->setData(Qt::ForegroundRole, colour);
        if (entry->toolTip() != problem)
            entry->setToolTip(problem);
    }
}
