// ClockWatch: whether the PC's clock is kept by a time server, and steps of it, in the as-run log and the main window.
#pragma once
#include "housekeeping/clockstatus.h"

#include <QObject>
#include <QString>

#include <optional>

class AsRunLog;
class Clock;
class Timer;

// Bells ring together in every building only where every PC's clock follows a time server.
// The watch looks every few seconds: the state goes into the as-run log at start-up and at
// each change, a step of the wall clock with its size. Once the clock has not been kept for
// more than a day, the main window shows a warning. A PC switched off every evening counts on
// across its nights: the moment the clock was first seen unkept stays in sinceFile until it is
// kept again. What the schedule does on a step is the tick's business, not the watch's.
class ClockWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int CheckMs = 10000;

    ClockWatch(Clock &clock, const ClockStatus &status, AsRunLog &log, const QString &sinceFile,
               QObject *parent = nullptr);

    // Logs the state and starts looking.
    void start();
    // As last seen; nothing before start().
    std::optional<bool> synchronised() const;
    // The main window's warning, or empty.
    QString warning() const { return m_warning; }

signals:
    void warningChanged(const QString &text);

private:
    void check();
    void keepSince(std::optional<qint64> wallMs);

    const ClockStatus &m_status;
    AsRunLog &m_log;
    QString m_sinceFile;
    Timer *m_timer;
    std::optional<ClockReading> m_last;
    std::optional<qint64> m_unsyncedSince;  // the wall clock when it was first seen unkept
    QString m_warning;
};
