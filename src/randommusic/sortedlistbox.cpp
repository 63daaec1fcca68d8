// The sorted list box.
#include "randommusic/sortedlistbox.h"

#include "randommusic/musicrules.h"

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
