// The one-second tick: clock and date, today's list, and the scan for items about to start.
#pragma once
#include "broadcast/playbackstate.h"
#include "broadcast/todaylist.h"
#include "core/asrunlog.h"
#include "core/holidayrules.h"

#include <QLabel>
#include <functional>

class Clock;
class FlexGrid;
class Mp3Player;
class Timer;

// An item is due when now < start < now + 5 s, both strict and without wrapping at
// midnight: it is found on up to four ticks before its time, and the first one marks it.
constexpr int DueWindowSeconds = 5;
constexpr bool isDue(int now, int start) { return now < start && start < now + DueWindowSeconds; }

// The controls of the main bar the tick writes.
struct TickControls {
    QLabel *Label1 = nullptr;   // clock
    QLabel *Label2 = nullptr;   // date and weekday
    QLabel *Label26 = nullptr;  // status line: file
    QLabel *Label27 = nullptr;  // status line: times
    QLabel *Label28 = nullptr;  // "列表文件：" + today's list path
    QWidget *Image7 = nullptr, *Image8 = nullptr, *Image9 = nullptr, *Image10 = nullptr;
    FlexGrid *MSFlexGrid1 = nullptr;
};

// What the tick hands over to the playback engine and the random music.
struct TickOutputs {
    Mp3Player *mp3 = nullptr;
    std::function<void()> beep;
    Timer *Timer4 = nullptr;                 // the start delay
    Timer *Timer11 = nullptr;                // the random music check
    AsRunLog *asRun = &AsRunLog::discard();  // items found due, lists loaded
    // Told the sound file of each item found due, which plays five seconds later; may be empty.
    std::function<void(const QString &file)> itemDue;
};

class SchedulerTick {
public:
    // configuredPath(weekday) is the list the weekday configuration names for that day;
    // follows(date), where given, the weekday whose list a date follows or DayOff (a date
    // follows its own weekday without it).
    SchedulerTick(Clock &clock, TickControls controls, TickOutputs outputs, TodayList &list, PlaybackState &state,
                  std::function<QString(int)> configuredPath, std::function<int(const QDate &)> follows = {});

    // specialDay(date), where given, is the date's calendar entry when it runs a list file of
    // its own, and an entry without one otherwise.
    void setSpecialDays(std::function<holidayrules::Entry(const QDate &)> specialDay) {
        m_specialDay = std::move(specialDay);
    }
    // A special list that is missing, unreadable or empty on its day is looked for again this
    // often, so one copied into place later in the day still rings its timetable.
    static constexpr int SpecialRetrySeconds = 60;

    // Timer1, every second: icons, clock and date, today's list, and the due scan.
    void tick();
    void SelectTodayList();
    void LoadTodayList();
    // The same file read again after someone else changed it; see the definition.
    void reloadTodayList();
    // Label28 as the list in force stands: its path, and a day off, a special day and its note,
    // or a special day whose list could not serve.
    void showListLabel();

    int TodayWeekday = 1;
    QDate TodayDate;
    int BlinkPhase = 0;

private:
    void showActivity();
    void showClock();
    void scanDue();
    void startItem(int i, const TodayItem &item);
    int follows(const QDate &date) const;
    void emptyTodayList();
    bool selectSpecialList(const holidayrules::Entry &special);
    QString specialProblem(const QString &path, QList<ScheduleItem> *items) const;

    Clock &m_clock;
    TickControls m_c;
    TickOutputs m_out;
    TodayList &m_list;
    PlaybackState &m_state;
    std::function<QString(int)> m_configuredPath;
    std::function<int(const QDate &)> m_follows;
    std::function<holidayrules::Entry(const QDate &)> m_specialDay;

    // Where the list in force came from.
    enum class Source { Weekday, DayOff, Special, Fallback };
    Source m_source = Source::Weekday;
    QString m_shownPath;            // the path last loaded, which Label28 names
    holidayrules::Entry m_special;  // the special day in force, or the one whose list could not serve
    QString m_specialProblem;       // why it could not, in the operator's words
    int m_specialTriedAt = 0;       // second of the day its list was last looked for
};
