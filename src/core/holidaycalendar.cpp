// Reading Holidays.txt into force and replacing it whole.
#include "core/holidaycalendar.h"

#include "core/logging.h"
#include "core/recordfile.h"
#include "core/regularfile.h"

#include <QFile>

Result HolidayCalendar::load() {
    QFile file;
    regularfile::Fault fault;
    if (const Result opened = regularfile::open(m_path, &file, &fault); !opened) {
        if (fault != regularfile::Fault::Missing)
            return opened;
        m_calendar = {};
        return Result::success();
    }
    // Read whole or not at all: a calendar cut short would lose its end at the next save.
    if (file.size() > MaxFileBytes)
        return Result::failure(QStringLiteral("文件大于 %1 KB").arg(MaxFileBytes / 1024));
    m_calendar = holidayrules::parse(regularfile::readStart(file, MaxFileBytes));
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
