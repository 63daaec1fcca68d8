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
                             PlaybackState &state, std::function<QString(int)> configuredPath)
    : m_clock(clock), m_c(controls), m_out(std::move(outputs)), m_list(list), m_state(state),
      m_configuredPath(std::move(configuredPath)) {}

void SchedulerTick::tick() {
    step("activity icons", [this] { showActivity(); });
    step("clock and date", [this] { showClock(); });
    step("weekday", [this] { TodayWeekday = m_clock.weekday(); });
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
    m_c.Label2->setText(date + QStringLiteral("\r\n") + statustexts::weekdayName(weekday));
    QColor color(0, 0, 255);
    if (weekday == 1)
        color = QColor(255, 0, 0);
    else if (weekday == 7)
        color = QColor(0, 192, 0);
    setTextColor(m_c.Label2, color);
}

void SchedulerTick::SelectTodayList() {
    const QString path = m_configuredPath(TodayWeekday);
    if (path == m_list.path)
        return;
    m_list.path = path;
    LoadTodayList();
}

void SchedulerTick::LoadTodayList() {
    if (m_list.path.isEmpty())
        return;  // keep the list loaded before
    m_c.Label28->setText(QStringLiteral("列表文件：") + m_list.path);
    QList<ScheduleItem> items;
    // A file that is missing or cannot be read gives an empty list; nothing is shown.
    if (const Result loaded = ScheduleListFile::load(m_list.path, &items, ScheduleListFile::Missing::ReadAsEmpty);
        !loaded) {
        qCWarning(lcTick) << "today's list cannot be read" << m_list.path << loaded.reason();
        m_out.asRun->record(QStringLiteral("今日列表 %1 无法读取（%2），列表为空").arg(m_list.path, loaded.reason()));
        items.clear();
    } else if (!QFileInfo::exists(m_list.path)) {
        m_out.asRun->record(QStringLiteral("今日列表 %1 不存在，列表为空").arg(m_list.path));
    } else {
        m_out.asRun->record(QStringLiteral("今日列表 %1 共 %2 项").arg(m_list.path).arg(items.size()));
    }
    todaygrid::show(*m_c.MSFlexGrid1, m_list, items);
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
    m_out.asRun->record(QStringLiteral("到时 第 %1 项 %2 %3 播放时间 %4 %5")
                            .arg(QString::number(i), timetext::shortTime(item.StartTime),
                                 grid.TextMatrix(i, todaygrid::NameColumn), timetext::lengthText(item.PlayLength),
                                 item.SoundFile));
    const AsRunLog::StopReason why(*m_out.asRun, asrun::byLaterStart());
    m_out.mp3->Stop();
    m_out.beep();
    m_out.Timer11->setEnabled(false);
    m_out.Timer4->setEnabled(true);  // a countdown already running goes on
    m_state.CurrentPlayLength = item.PlayLength;
}
