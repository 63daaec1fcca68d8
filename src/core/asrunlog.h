// AsRunLog: where every part of the program puts down what it did on air, one event a line.
#pragma once
#include <QString>

// "The bell did not ring today" needs an answer the next morning: what was due, what started
// at which volume, how it ended and why. Each part reports its events here as they happen; the
// sink adds the date and time. Recording never waits for a disk and never fails, so a log that
// cannot be written holds up no bell.
class AsRunLog {
public:
    virtual ~AsRunLog() = default;
    virtual void record(const QString &event) = 0;

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
// How a playback began: from today's list, from the random music, or by the operator's hand.
enum class Start { Scheduled, Random, ByHand };
QString started(Start kind, const QString &file, int volume);  // volume < 0: none was sent
QString playedToEnd(const QString &file);
QString cut(const QString &file, const QString &why);
QString couldNotPlay(const QString &file, const QString &reason);
// The reasons of a cut.
QString byLaterStart();
QString byOperator();
QString afterPlayLength();
}  // namespace asrun
