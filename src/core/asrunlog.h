// AsRunLog: where every part of the program puts down what it did on air, one event a line.
#pragma once
#include <QString>

// One line of the log, and what a collector sorts and filters it by. The text is the line as
// the day's file holds it; the rest are its fields in the system journal, left out where
// empty or negative.
struct AsRunEntry {
    QString event;  // the kind of line, one word: "start", "end", "due", "list", "clock", …
    QString text;
    QString name;            // the item's name in today's list
    QString file;            // the sound file
    int plannedSecond = -1;  // when the item was due, seconds since midnight
    int volume = -1;         // the volume sent to the speaker before it played
};

// "The bell did not ring today" needs an answer the next morning: what was due, what started
// at which volume, how it ended and why. Each part reports its events here as they happen; the
// sink adds the date and time. Recording never waits for a disk and never fails, so a log that
// cannot be written holds up no bell.
class AsRunLog {
public:
    virtual ~AsRunLog() = default;
    virtual void record(const AsRunEntry &entry) = 0;
    // A line with no fields but its kind.
    void record(const QString &event, const QString &text) { record(AsRunEntry{event, text, {}, {}, -1, -1}); }

    // While one lives, a playback that a player reports cut short was stopped for this reason.
    // The players report a stop before the stopping call returns, so a scope around the call
    // names its cause.
    class StopReason {
    public:
        StopReason(AsRunLog &log, const QString &why) : m_log(log), m_previous(log.m_stopReason) {
            log.m_stopReason = why;
        }
        ~StopReason() { m_log.m_stopReason = m_previous; }
        StopReason(const StopReason &) = delete;
        StopReason &operator=(const StopReason &) = delete;

    private:
        AsRunLog &m_log;
        QString m_previous;
    };
    // The reason of the innermost StopReason alive, or empty.
    const QString &stopReason() const { return m_stopReason; }

    // A log that keeps nothing: what parts built without a log report to.
    static AsRunLog &discard();

private:
    QString m_stopReason;
};

// The words the log's lines share, so that one search finds every event of a kind.
namespace asrun {
// How a playback began: from today's list, from the random music, by the operator's hand, or
// by a command from elsewhere (tollmere --play).
enum class Start { Scheduled, Random, ByHand, Remote };
// volume < 0: none was sent. A scheduled start names its item and the second it was due.
AsRunEntry started(Start kind, const QString &file, int volume, const QString &name = {}, int plannedSecond = -1);
AsRunEntry playedToEnd(const QString &file);
AsRunEntry cut(const QString &file, const QString &why);
AsRunEntry couldNotPlay(const QString &file, const QString &reason);
// The reasons of a cut.
QString byLaterStart();
QString byOperator();
QString afterPlayLength();
QString byRemoteCommand();

// The text with each control character, and the two separators some editors break a line
// at, written as an escape ("\n", "\x1b"), so that an event stays on one line.
QString oneLine(const QString &text);
}  // namespace asrun
