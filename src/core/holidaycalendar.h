// HolidayCalendar: the days off, make-up days and special days in force, and their file Holidays.txt in AppDir.
#pragma once
#include "core/holidayrules.h"
#include "core/result.h"

#include <QString>

// Today's list follows this calendar before the weekday panel. It is read at start-up and
// whenever the calendar dialog opens or saves; a file nobody has written yet is an empty
// calendar and is not created, so a folder without one looks as it always did.
class HolidayCalendar {
public:
    static constexpr const char *FileName = "Holidays.txt";
    // Years of dates take a few KB; a larger file is no calendar and is not read.
    static constexpr qint64 MaxFileBytes = 1024 * 1024;

    explicit HolidayCalendar(const QString &appDir) : m_path(appDir + QLatin1String(FileName)) {}

    QString path() const { return m_path; }
    // Puts the file into force. A file that exists but cannot be read, is no regular file or
    // is larger than MaxFileBytes leaves the calendar in force as it was.
    Result load();
    // Writes the calendar whole through a temporary file renamed over the old one, then puts
    // what was written into force; on failure the old file and the calendar in force stay.
    Result save(const holidayrules::Calendar &calendar);

    const holidayrules::Calendar &calendar() const { return m_calendar; }
    // The weekday whose list the date follows, DayOff on a day off.
    int follows(const QDate &date) const { return holidayrules::follows(m_calendar, date); }
    // The date's entry when it runs a list file of its own, else an entry without one.
    holidayrules::Entry specialDay(const QDate &date) const { return holidayrules::specialDay(m_calendar, date); }

private:
    QString m_path;
    holidayrules::Calendar m_calendar;
};
