// CleanField: control characters out, ASCII spaces trimmed.
#include "core/cleanfield.h"

QString CleanField(const QString &text) {
    QString kept(text.size(), Qt::Uninitialized);
    QChar *o = kept.data();
    for (QChar ch : text)
        if (ch.unicode() >= 32)
            *o++ = ch;
    const QChar *from = kept.constData();
    const QChar *to = o;
    while (from < to && *from == QLatin1Char(' '))
        ++from;
    while (to > from && to[-1] == QLatin1Char(' '))
        --to;
    return QString(from, to - from);
}
