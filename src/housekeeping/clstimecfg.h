// ClsTime.Cfg: the automatic shutdown setting, one 10-byte record.
#pragma once
#include <QByteArray>
#include <QString>

struct ShutdownRecord {
    static constexpr int RecordSize = 10;
    static constexpr const char *FileName = "ClsTime.Cfg";

    bool Enabled = false;
    int Time = 0;  // seconds since midnight

    // The flag −1 (on) or 0 (off), then the time as a date value of day 0.
    QByteArray toRecord() const;

    // The file's bytes. An empty file is off at 00:00:00. Any flag but 0 is on, and only the
    // time of day of the date value counts. A record cut short, or a date value that is no
    // date (not a number, infinite, past the year 9999), cannot say when to shut down: it
    // reads as off at 00:00:00 and *damage says why, rather than as a shutdown at midnight.
    static ShutdownRecord fromFile(const QByteArray &bytes, QString *damage = nullptr);
};
