// Reading and writing the line of qc.cfg.
#include "housekeeping/qccfg.h"

#include <QRegularExpression>

namespace qccfg {

QString format(const QString &hours, const QString &minutes, const QString &seconds, bool clearing) {
    const QChar q = QLatin1Char('"');
    return q + hours + q + QLatin1Char(',') + q + minutes + q + QLatin1Char(',') + q + seconds + q + QLatin1Char(',') +
           (clearing ? QLatin1Char('1') : QLatin1Char('0'));
}

namespace {

// Splits at the commas outside quotes; a quoted field is its text between the quotes.
QStringList fields(const QString &line) {
    QStringList out;
    qsizetype i = 0;
    const qsizetype n = line.size();
    for (;;) {
        while (i < n && line[i] == QLatin1Char(' '))
            ++i;
        QString field;
        if (i < n && line[i] == QLatin1Char('"')) {
            const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = line.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            i = comma < 0 ? n : comma;  // anything between the closing quote and the comma is dropped
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            const qsizetype end = comma < 0 ? n : comma;
            field = line.mid(i, end - i).trimmed();
            i = end;
        }
        out << field;
        if (i >= n)
            break;
        ++i;  // the comma
    }
    return out;
}

bool inRange(const QString &text, int top) {
    static const QRegularExpression digits(QStringLiteral(R"(^\d{1,2}$)"));
    const QString t = text.trimmed();
    return digits.match(t).hasMatch() && t.toInt() <= top;
}

}  // namespace

Read parse(const QStringList &lines) {
    Read read;
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList f = fields(line);
        if (f.size() >= 3 && inRange(f[0], 23) && inRange(f[1], 59) && inRange(f[2], 59))
            read.time = std::array<QString, 3>{f[0].trimmed(), f[1].trimmed(), f[2].trimmed()};
        if (f.size() >= 4) {
            const QString check = f[3].trimmed();
            if (check == QLatin1String("1") || check == QLatin1String("0"))
                read.clearing = check == QLatin1String("1");
        }
        break;
    }
    return read;
}

}  // namespace qccfg
