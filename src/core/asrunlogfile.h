// AsRunLogFile: the as-run log as one UTF-8 text file a day, written by a thread of its own.
#pragma once
#include "core/asrunlog.h"

#include <QDate>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class Clock;
class Timer;

// Lines go to folder/YYYY-MM-DD.log, the date and time of each line the clock's at the moment
// it was recorded ("08:00:01 开始播放 …"). record() only stamps the line and queues it: a
// worker thread opens, appends and flushes, so a slow or full disk never delays a tick. What
// cannot be written (no folder, no rights, a full disk) is counted and dropped, with one
// warning in tollmere.files each time writing stops working; the next line tries again.
// A control character in an event (a file name holding a newline) is written as an escape
// ("\n", "\x1b"), so each event stays on one line.
//
// Old days go at start-up and within a minute after each midnight, on the worker. A day's file
// is removed only when it is more than keepDays before today and more than keepDays later days
// have a file (today counted): a clock set years ahead, at start-up or while running, removes
// nothing by itself, as the days it logs under a wrong date are days logged like any other. A
// school that switches the PC off for the summer finds the weeks before it still there.
class AsRunLogFile : public AsRunLog {
public:
    // At most this many lines wait for the disk; more are dropped rather than held in memory.
    static constexpr int MaxQueued = 100000;

    AsRunLogFile(const QString &folder, Clock &clock, int keepDays = 60);
    // Writes what is still queued, then ends the worker.
    ~AsRunLogFile() override;

    using AsRunLog::record;
    void record(const AsRunEntry &entry) override;
    // Hands each entry to this log as well, once its line is queued: the system journal's copy.
    void alsoTo(std::unique_ptr<AsRunLog> copy) { m_copy = std::move(copy); }
    // Waits until every line recorded so far has been written or dropped, and old days asked
    // for have been removed.
    void flush();
    // Lines dropped so far because they could not be written or the queue was full.
    int linesLost() const;

    QString folder() const { return m_folder; }
    static QString fileName(const QDate &date);

private:
    struct Line {
        QDate date;
        QString text;
    };
    void run(int keepDays);
    // Asks the worker to remove the days too old on this date, once per date.
    void askToPrune(const QDate &today);
    void removeOld(const QDate &today, int keepDays);
    // The number of lines that could not be written.
    int write(const std::deque<Line> &lines);

    const QString m_folder;
    const Clock &m_clock;
    std::unique_ptr<Timer> m_dayCheck;  // looks at the date each minute
    std::unique_ptr<AsRunLog> m_copy;   // the system journal's copy, or none
    QDate m_askedFor;                   // the date last asked for; the clock's thread only
    mutable std::mutex m_lock;
    std::condition_variable m_wake;     // lines queued, a day to prune for, or the end
    std::condition_variable m_written;  // a batch has been written
    std::deque<Line> m_queue;
    QDate m_pruneFor;        // asked for, not yet taken by the worker
    bool m_busy = false;     // the worker is writing or removing
    quint64 m_recorded = 0;  // lines recorded, and lines taken care of by the worker
    quint64 m_done = 0;
    int m_lost = 0;
    bool m_ending = false;
    bool m_failing = false;  // the last write failed: warn again only once it has worked
    std::thread m_worker;
};
