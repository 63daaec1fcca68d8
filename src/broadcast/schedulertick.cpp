// The scheduler tick's steps, each of which may fail alone without stopping the others.
#include "broadcast/schedulertick.h"

#include "broadcast/logging.h"
#include "broadcast/mp3player.h"
#include "broadcast/statustexts.h"
#include "core/clock.h"
#include "core/schedulelistfile.h"
#include "core/timetext.h"
#include "ui/flexgrid.h"

#include <QFileInfo>
#include <QHash>
#include <QLocale>

namespace {

// A failing step is skipped: the tick must go on every second for months.
template <typename F>
void step(const char *what, F &&f) {
    try {
        f();
    } catch (const std::exception &e) {
        qCWarning(lcTick) << "tick step skipped:" << what << e.what();
    } catch (...) {
        qCWarning(lcTick) << "tick step skipped:" << what;
    }
}

void setTextColor(QLabel *label, const QColor &color) {
    QPalette p = label->palette();
    if (p.color(QPalette::WindowText) == color)
        return;
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

}  // namespace

SchedulerTick::SchedulerTick(Clock &clock, TickControls controls, TickOutputs outputs, TodayList &list,
                             PlaybackState &state, std::function<QString(int)> configuredPath,
                             std::function<int(const QDate &)> follows)
    : m_clock(clock), m_c(controls), m_out(std::move(outputs)), m_list(list), m_state(state),
      m_configuredPath(std::move(configuredPath)), m_follows(std::move(follows)) {}

void SchedulerTick::tick() {
    step("activity icons", [this] { showActivity(); });
    step("clock and date", [this] { showClock(); });
    step("weekday", [this] {
        TodayDate = m_clock.date();
        TodayWeekday = TodayDate.dayOfWeek() % 7 + 1;
    });
    step("today's list", [this] { SelectTodayList(); });
    step("due scan", [this] { scanDue(); });
}

void SchedulerTick::showActivity() {
    // While something plays, each pair changes picture every second, the pairs in opposite phase.
    bool show7 = true, show8 = false, show9 = false, show10 = true;
    if (m_state.PlayerBusy == 1) {
        const bool alternate = BlinkPhase != 0;
        show7 = show9 = !alternate;
        show8 = show10 = alternate;
        BlinkPhase = alternate ? 0 : 1;
    } else {
        BlinkPhase = 0;
    }
    m_c.Image7->setVisible(show7);
    m_c.Image8->setVisible(show8);
    m_c.Image9->setVisible(show9);
    m_c.Image10->setVisible(show10);
}

void SchedulerTick::showClock() {
    const QDateTime now = m_clock.now();
    m_c.Label1->setText(timetext::shortTime(now.time().msecsSinceStartOfDay() / 1000));
    const int weekday = now.date().dayOfWeek() % 7 + 1;
    const QString date = QLocale().toString(now.date(), QLocale::ShortFormat);
    // A day off shows red like a Sunday; a make-up day names the weekday whose list it runs
    // and takes that day's colour.
    const int followed = follows(now.date());
    QString name = statustexts::weekdayName(weekday);
    if (followed == DayOff)
        name += QStringLiteral("（休息）");
    else if (followed != weekday)
        name += QStringLiteral("（按周") + statustexts::weekdayName(followed).right(1) + QStringLiteral("）");
    m_c.Label2->setText(date + QStringLiteral("\r\n") + name);
    const int coloured = followed == DayOff ? 1 : followed;
    QColor color(0, 0, 255);
    if (coloured == 1)
        color = QColor(255, 0, 0);
    else if (coloured == 7)
        color = QColor(0, 192, 0);
    setTextColor(m_c.Label2, color);
}

int SchedulerTick::follows(const QDate &date) const { return m_follows ? m_follows(date) : date.dayOfWeek() % 7 + 1; }

void SchedulerTick::SelectTodayList() {
    const int followed = TodayDate.isValid() ? follows(TodayDate) : TodayWeekday;
    if (followed == DayOff) {
        emptyTodayList();
        return;
    }
    const QString path = m_configuredPath(followed);
    if (path == m_list.path)
        return;
    m_list.path = path;
    LoadTodayList();
}

// A day off schedules nothing, whatever was loaded before it: not the day before's list, as
// an empty configured path would keep it, nor a list the editor put into today's grid. With
// no path in force, the next day that follows a weekday with a list loads it at its first tick.
void SchedulerTick::emptyTodayList() {
    m_c.Label28->setText(QStringLiteral("列表文件：（休息）"));
    if (m_list.path.isEmpty() && m_list.count() == 0 && m_c.MSFlexGrid1->Rows() <= 1)
        return;
    m_list.path.clear();
    todaygrid::show(*m_c.MSFlexGrid1, m_list, {});
}

void SchedulerTick::LoadTodayList() {
    if (m_list.path.isEmpty())
        return;  // keep the list loaded before
    m_c.Label28->setText(QStringLiteral("列表文件：") + m_list.path);
    QList<ScheduleItem> items;
    // A file that is missing or cannot be read gives an empty list; nothing is shown. No more
    // is read than the day can hold, however large the file.
    if (const Result loaded =
            ScheduleListFile::load(m_list.path, &items, ScheduleListFile::Missing::ReadAsEmpty, TodayList::Capacity);
        !loaded) {
        qCWarning(lcTick) << "today's list cannot be read" << m_list.path << loaded.reason();
        m_out.asRun->record(QStringLiteral("list"),
                            QStringLiteral("今日列表 %1 无法读取（%2），列表为空").arg(m_list.path, loaded.reason()));
        items.clear();
    } else if (!QFileInfo::exists(m_list.path)) {
        m_out.asRun->record(QStringLiteral("list"), QStringLiteral("今日列表 %1 不存在，列表为空").arg(m_list.path));
    } else {
        const int stored = RecordFile::countFor(QFileInfo(m_list.path).size(), ScheduleItem::RecordSize);
        m_out.asRun->record(
            QStringLiteral("list"),
            QStringLiteral("今日列表 %1 共 %2 项").arg(m_list.path).arg(std::max<int>(stored, items.size())));
    }
    todaygrid::show(*m_c.MSFlexGrid1, m_list, items);
}

// Items that stay keep their played marks wherever they now stand, so an item already found
// due is not started a second time, and one due in the coming seconds is found as usual. A
// file that cannot be read now leaves the list in force as it was.
void SchedulerTick::reloadTodayList() {
    if (m_list.path.isEmpty())
        return;
    QList<ScheduleItem> items;
    if (const Result loaded =
            ScheduleListFile::load(m_list.path, &items, ScheduleListFile::Missing::ReadAsEmpty, TodayList::Capacity);
        !loaded) {
        m_out.asRun->record(
            QStringLiteral("list"),
            QStringLiteral("今日列表 %1 无法重新读取（%2），仍按原有列表").arg(m_list.path, loaded.reason()));
        return;
    }
    const auto key = [](const TodayItem &t) {
        return QStringLiteral("%1|%2|%3|%4").arg(t.StartTime).arg(t.PlayLength).arg(t.ItemName, t.SoundFile);
    };
    FlexGrid &grid = *m_c.MSFlexGrid1;
    QHash<QString, int> marked;  // how many items of each kind were marked
    for (int i = 1; i <= m_list.count(); ++i)
        if (todaygrid::isMarked(grid, i))
            ++marked[key(m_list.items[i - 1])];
    const TodayItem *current = m_list.item(m_state.CurrentItem);
    const QString currentKey = current ? key(*current) : QString();
    todaygrid::show(grid, m_list, items);
    bool currentFound = currentKey.isEmpty();
    for (int i = 1; i <= m_list.count(); ++i) {
        const QString k = key(m_list.items[i - 1]);
        int &left = marked[k];
        grid.setTextMatrix(i, todaygrid::MarkColumn, left > 0 ? todaygrid::playedMark() : QString());
        left = std::max(0, left - 1);
        if (!currentFound && k == currentKey) {
            m_state.CurrentItem = i;  // the item playing or about to, where it now stands
            currentFound = true;
        }
    }
    m_out.asRun->record(QStringLiteral("list"),
                        QStringLiteral("今日列表 %1 已重新读取，共 %2 项").arg(m_list.path).arg(m_list.count()));
}

void SchedulerTick::scanDue() {
    const int now = m_clock.secondsOfDay();
    for (int i = 1; i <= m_list.count(); ++i) {
        if (todaygrid::isMarked(*m_c.MSFlexGrid1, i))
            continue;
        const TodayItem item = m_list.items[i - 1];
        if (isDue(now, item.StartTime))
            step("start of a due item", [&] { startItem(i, item); });
    }
}

void SchedulerTick::startItem(int i, const TodayItem &item) {
    m_state.CurrentItem = i;
    FlexGrid &grid = *m_c.MSFlexGrid1;
    grid.setRow(i);
    grid.setCol(0);
    grid.setColSel(todaygrid::FileColumn);
    grid.setTopRow(i);
    m_c.Label26->setText(statustexts::playingFile(item.SoundFile));
    m_state.CurrentFile = item.SoundFile;
    m_c.Label27->setText(statustexts::startAndLength(item.StartTime, item.PlayLength));
    grid.setTextMatrix(i, todaygrid::MarkColumn, todaygrid::playedMark());
    m_out.asRun->record({QStringLiteral("due"),
                         QStringLiteral("到时 第 %1 项 %2 %3 播放时间 %4 %5")
                             .arg(QString::number(i), timetext::shortTime(item.StartTime), item.ItemName,
                                  timetext::lengthText(item.PlayLength), item.SoundFile),
                         item.ItemName, item.SoundFile, item.StartTime});
    const AsRunLog::StopReason why(*m_out.asRun, asrun::byLaterStart());
    m_out.mp3->Stop();
    m_out.beep();
    m_out.Timer11->setEnabled(false);
    m_out.Timer4->setEnabled(true);  // a countdown already running goes on
    m_state.CurrentPlayLength = item.PlayLength;
    if (m_out.itemDue)
        m_out.itemDue(item.SoundFile);
}
