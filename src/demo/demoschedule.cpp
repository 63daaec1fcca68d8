// The demonstration files.
#include "demo/demoschedule.h"

#include "core/recordfile.h"
#include "core/regularfile.h"
#include "core/schedulelistfile.h"
#include "core/storablepath.h"
#include "demo/soundfiles.h"
#include "editor/lstcfg.h"

#include <QDir>
#include <QFile>

namespace demo {

namespace {

// Our own configuration, or none at all: only then may the demo choose today's list.
bool mayConfigure(const QString &cfgPath, const QString &listPath) {
    QFile file;
    regularfile::Fault fault;
    if (!regularfile::open(cfgPath, &file, &fault))
        return fault == regularfile::Fault::Missing;
    if (file.size() == 0)
        return true;
    const WeekdayListConfig c = WeekdayListConfig::fromRecord(file.read(WeekdayListConfig::RecordSize));
    return c.SameEveryDay && c.EveryDayPath == listPath;
}

}  // namespace

Result write(const QString &appDir, const QDateTime &now) {
    const QString dir = appDir + QStringLiteral("demo/");
    if (!QDir().mkpath(dir))
        return Result::failure(QStringLiteral("cannot create %1").arg(dir));
    const QString bell = dir + QStringLiteral("bell.wav"), news = dir + QStringLiteral("news.mp3"),
                  tune = dir + QStringLiteral("tune.mid"), list = dir + QStringLiteral("today.lst");
    // The list's path is the longest the files name: a folder too deep for it would leave a
    // demo whose list is chosen under a cut name and never plays.
    if (!storablepath::problem(list, WeekdayListConfig::PathBytes).isEmpty())
        return Result::failure(
            QStringLiteral("%1 cannot be named in %2: copy the program to a shorter folder, in ASCII or Chinese")
                .arg(list, QLatin1String(WeekdayListConfig::FileName)));
    if (!SoundFiles::writeWav(bell, 3000, 880) || !SoundFiles::writeMp3(news, 4000) ||
        !SoundFiles::writeMidi(tune, 6000))
        return Result::failure(QStringLiteral("cannot write the demo sounds in %1").arg(dir));

    const int first = now.time().msecsSinceStartOfDay() / 1000 + 60;
    if (first + 40 >= 86400)
        return Result::failure(QStringLiteral("too close to midnight for a demo today; try again after 00:00"));
    const QList<ScheduleItem> items = {
        {first, QStringLiteral("上课铃"), 0, bell},
        {first + 15, QStringLiteral("广播通知"), 0, news},
        {first + 30, QStringLiteral("音乐"), 4, tune},
    };
    if (const Result r = ScheduleListFile::rewrite(list, items); !r)
        return r;

    const QString cfg = appDir + QLatin1String(WeekdayListConfig::FileName);
    if (!mayConfigure(cfg, list))
        return Result::failure(
            QStringLiteral("%1 has a configuration of its own: choose %2 in the list panel to hear the demo")
                .arg(cfg, list));
    WeekdayListConfig c;
    c.SameEveryDay = true;
    c.EveryDayPath = list;
    return replaceFile(cfg, c.toRecord());
}

}  // namespace demo
