// CleanField: control characters out, ASCII spaces trimmed.
#include "core/cleanfield.h"

QString CleanField(const QString &text) {
    QString kept;
    kept.reserve(text.size());
    for (QChar ch : text)
        if (ch.unicode() >= 32)
            kept.append(ch);
    qsizetype from = 0;
    qsizetype to = kept.size();
    while (from < to && kept[from] == QLatin1Char(' '))
        ++from;
    while (to > from && kept[to - 1] == QLatin1Char(' '))
        --to;
    return kept.mid(from, to - from);
}
