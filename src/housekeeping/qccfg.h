// qc.cfg: the clearing time and whether clearing is on, one text line.
#pragma once
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace qccfg {

inline QString fileName() { return QStringLiteral("qc.cfg"); }

// "hours","minutes","seconds",check: the three texts as the boxes hold them, in quotes, and
// the check box as 1 or 0.
QString format(const QString &hours, const QString &minutes, const QString &seconds, bool clearing);

struct Read {
    // The hours, minutes and seconds texts, when all three are there and make a time of day.
    std::optional<std::array<QString, 3>> time;
    std::optional<bool> clearing;  // when the fourth field is 1 or 0
};

// The first line that is not blank; a field is its text between quotes, or without quotes
// its text trimmed. Extra fields and lines are ignored. A time of day is taken whole or not
// at all: a missing field or a text that is not a number of the field's range (an hour 0 to
// 23, a minute or second 0 to 59, at most two digits) leaves the time empty, so the dialog
// keeps the time it has rather than a time nobody set.
Read parse(const QStringList &lines);

}  // namespace qccfg
