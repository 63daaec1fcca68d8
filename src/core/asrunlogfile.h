// AsRunLogFile: the as-run log as one UTF-8 text file a day, written by a thread of its own.
#pragma once
#include "core/asrunlog.h"

#include <QDate>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class Clock;

// Lines go to folder/YYYY-MM-DD.log, the date and time of each line the clock's at the moment
// it was recorded ("08:00:01 开始播放 …"). record() only stamps the line and queues it: a
// worker thread opens, appends and flushes, so a slow or full disk never delays a tick. What
// cannot be written (no folder, no rights, a full disk) is counted and dropped, with one
// warning in tollmere.files each time writing stops working; the next line tries again.
class AsRunLogFile : public AsRunLog {
public:
    // At most this many lines wait for the disk; more are dropped rather than held in memory.
    static constexpr int MaxQueued = 100000;

    // Files whose date is more than keepDays before the clock's date are removed first, on the
    // worker, so start-up does not wait for it.
    AsRunLogFile(const QString &folder, const Clock &clock, int keepDays = 60);
    // Writes what is still queued, then ends the worker.
    ~AsRunLogFile() override;

    void record(const QString &event) override;
    // Waits until every line recorded so far has been written or dropped.
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
    void run(QDate today, int keepDays);
    void removeOld(const QDate &today, int keepDays);
    // The number of lines that could not be written.
    int write(const std::deque<Line> &lines);

    const QString m_folder;
    const Clock &m_clock;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;     // lines queued, or the end
    std::condition_variable m_written;  // a batch has been written
    std::deque<Line> m_queue;
    quint64 m_recorded = 0;  // lines recorded, and lines taken care of by the worker
    quint64 m_done = 0;
    int m_lost = 0;
    bool m_ending = false;
    bool m_failing = false;  // the last write failed: warn again only once it has worked
    std::thread m_worker;
};
