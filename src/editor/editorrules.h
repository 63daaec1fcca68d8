// The schedule editor's rules without widgets: row texts, sort order, the five panel states.
#pragma once
#include "core/scheduleitem.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace editorrules {

// Editor grid columns.
constexpr int StartColumn = 0;
constexpr int NameColumn = 1;
constexpr int LengthColumn = 2;
constexpr int FileColumn = 3;

// The row texts of an item read from a list file: two-digit start, name, length or "播完", file.
QStringList rowTexts(const ScheduleItem &item);
// The row texts of an item just written from the input fields: the name cut to 20 characters
// and the path to 100, both cleaned, as the grid shows them until the list is next loaded.
QStringList newRowTexts(const ScheduleItem &item);
// The item a grid row stands for. The grid only ever holds texts this editor put there; a
// time text that is somehow not a time counts as 0.
ScheduleItem itemFromRow(const QStringList &texts);
ScheduleItem itemFromRow(const QString &start, const QString &name, const QString &length, const QString &file);

// ListSortKey of row i: the start text, "|", the row number ("08:05:00|12").
QString listSortKey(const QString &startText, int row);
// The rows (from 1) in the order of their sort keys, compared character by character by
// character code, a key that begins a longer one coming first: start times ascending, equal
// start times in the text order of their row numbers (10, 11, 2).
QList<int> sortedRows(const QStringList &startTexts);

enum class State { Closed, Open, Adding, Modifying, Deleting };

// What each state shows: captions, enabled flags, the grid's, and the default button
// (0 when the state does not choose one; 7, 8 or 9 for Command7, Command8, Command9).
struct StateView {
    QString command6, command7, command8, command9;
    bool command6Enabled, command7Enabled, command8Enabled, command9Enabled;
    bool command13Enabled, command5Enabled, gridEnabled;
    int defaultButton;
};
StateView stateView(State state);

}  // namespace editorrules
