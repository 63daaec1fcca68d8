// Reading Holidays.txt into force and replacing it whole.
#include "core/holidaycalendar.h"

#include "core/logging.h"
#include "core/recordfile.h"

#include <QFile>

Result HolidayCalendar::load() {
    QFile file(m_path);
    if (!file.exists()) {
        m_calendar = {};
        return Result::success();
    }
    if (!file.open(QIODevice::ReadOnly))
        return Result::failure(file.errorString());
    m_calendar = holidayrules::parse(file.readAll());
    for (const holidayrules::SkippedLine &s : m_calendar.skipped)
        qCWarning(lcFiles) << m_path << "line" << s.number << "skipped:" << s.reason << s.text;
    return Result::success();
}

Result HolidayCalendar::save(const holidayrules::Calendar &calendar) {
    const QByteArray bytes = holidayrules::format(calendar);
    if (Result written = replaceFile(m_path, bytes); !written)
        return written;
    m_calendar = holidayrules::parse(bytes);
    return Result::success();
}
