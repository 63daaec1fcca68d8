// remotecommand: tollmere --play, --stop and --status, sent to the program running in the same folder.
#pragma once
#include "broadcast/playbackstate.h"
#include "broadcast/todaylist.h"

#include <QDateTime>
#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

#include <optional>

class FlexGrid;

namespace remotecommand {

// The exit codes of a command.
enum Exit { Done = 0, Refused = 1, NoProgram = 2, NoAnswer = 3 };

// True when the arguments ask for a command rather than the program itself.
bool isCommand(const QStringList &args);

// Sends the command the arguments name to the program running over appDir and writes what it
// answered to out (an error to err). Never starts a program. The exit code: Exit.
int run(const QStringList &args, const QString &appDir, QTextStream &out, QTextStream &err);

// What --status reports: today's list with its marks, the next item to play, what plays, and
// whether the clock is synchronised (nothing when unknown).
QJsonObject status(const TodayList &list, const FlexGrid &grid, const PlaybackState &playback, const QDateTime &now,
                   std::optional<bool> clockSynchronised);
// The same for a person to read.
QString statusText(const QJsonObject &status);

}  // namespace remotecommand
