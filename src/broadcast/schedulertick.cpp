// The scheduler tick's steps, each of which may fail alone without stopping the others.
#include "broadcast/schedulertick.h"

#include "broadcast/logging.h"
#include "broadcast/mp3player.h"
#include "broadcast/statustexts.h"
#include "core/clock.h"
#include "core/schedulelistfile.h"
#include "core/timetext.h"
#include "ui/flexgrid.h"
#include "ui/pictures.h"

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
        m_source = Source::DayOff;
        emptyTodayList();
        return;
    }
    const holidayrules::Entry special =
        TodayDate.isValid() && m_specialDay ? m_specialDay(TodayDate) : holidayrules::Entry{};
    if (!special.listFile.isEmpty() && selectSpecialList(special))
        return;
    QString path = m_configuredPath(followed);
    if (m_source == Source::Special) {
        m_source = Source::Weekday;
        // A special list belongs to its date. A day after it without a list of its own goes on
        // with the list the special day's weekday would have run, as if it had been an
        // ordinary day, and with none when that weekday has none either.
        if (path.isEmpty())
            path = m_configuredPath(m_special.follows);
        if (path.isEmpty()) {
            m_list.path.clear();
            m_shownPath.clear();
            todaygrid::show(*m_c.MSFlexGrid1, m_list, {});
        }
    } else if (special.listFile.isEmpty()) {
        m_source = Source::Weekday;
    }
    if (path != m_list.path) {
        m_list.path = path;
        LoadTodayList();
    }
    showListLabel();
}

// A day off schedules nothing, whatever was loaded before it: not the day before's list, as
// an empty configured path would keep it, nor a list the editor put into today's grid. With
// no path in force, the next day that follows a weekday with a list loads it at its first tick.
void SchedulerTick::emptyTodayList() {
    showListLabel();
    if (m_list.path.isEmpty() && m_list.count() == 0 && m_c.MSFlexGrid1->Rows() <= 1)
        return;
    m_list.path.clear();
    m_shownPath.clear();
    todaygrid::show(*m_c.MSFlexGrid1, m_list, {});
}

// A special day whose list cannot serve rings the list of its own weekday rather than
// nothing: a school on an exam day would rather hear the ordinary bells than none, and the
// window and the as-run log say why. The list is looked for again once a minute.
bool SchedulerTick::selectSpecialList(const holidayrules::Entry &special) {
    const bool same = m_special == special;
    if (m_source == Source::Special && same && m_list.path == special.listFile)
        return true;
    const int now = m_clock.secondsOfDay();
    if (m_source == Source::Fallback && same && now >= m_specialTriedAt && now - m_specialTriedAt < SpecialRetrySeconds)
        return false;
    m_specialTriedAt = now;
    const QString note = special.note.isEmpty() ? QString() : QStringLiteral("（%1）").arg(special.note);
    QList<ScheduleItem> items;
    const FileSignature before = FileSignature::of(special.listFile);
    if (const QString problem = specialProblem(special.listFile, &items); !problem.isEmpty()) {
        if (m_source != Source::Fallback || !same || problem != m_specialProblem) {
            qCWarning(lcTick) << "the special day's list cannot serve" << special.listFile << problem;
            m_out.asRun->record(QStringLiteral("list"),
                                QStringLiteral("特殊日%1的列表 %2 %3，改按%4的列表播放")
                                    .arg(note, special.listFile, problem, statustexts::weekdayName(special.follows)));
        }
        m_special = special;
        m_specialProblem = problem;
        m_source = Source::Fallback;
        return false;
    }
    // Marks of the list that stood in would keep the special list's later rows from ringing;
    // the rows whose time has passed are not due again anyway.
    const bool recovered = m_source == Source::Fallback && same;
    if (recovered)
        todaygrid::clearMarks(*m_c.MSFlexGrid1);
    m_special = special;
    m_specialProblem.clear();
    m_source = Source::Special;
    m_list.path = special.listFile;
    m_list.loaded = before;
    m_shownPath = special.listFile;
    const int stored = RecordFile::countFor(QFileInfo(special.listFile).size(), ScheduleItem::RecordSize);
    m_out.asRun->record(QStringLiteral("list"), QStringLiteral("今天是特殊日%1，今日列表 %2 共 %3 项%4")
                                                    .arg(note, special.listFile)
                                                    .arg(std::max<int>(stored, items.size()))
                                                    .arg(recovered ? QStringLiteral("，已播标记清除") : QString()));
    todaygrid::show(*m_c.MSFlexGrid1, m_list, items);
    showListLabel();
    return true;
}

// Why the special list cannot serve today, empty when it can. A list without items counts as
// one that cannot: a day meant to be silent is marked 休息.
QString SchedulerTick::specialProblem(const QString &path, QList<ScheduleItem> *items) const {
    if (!QFileInfo::exists(path))
        return QStringLiteral("找不到");
    if (const Result loaded =
            ScheduleListFile::load(path, items, ScheduleListFile::Missing::ReadAsEmpty, TodayList::Capacity);
        !loaded) {
        items->clear();
        return QStringLiteral("无法读取（%1）").arg(loaded.reason());
    }
    if (items->isEmpty())
        return QStringLiteral("里没有项目");
    return {};
}

void SchedulerTick::showListLabel() {
    QString text = QStringLiteral("列表文件：");
    QColor color = pictures::FaceText;
    const QString note = m_special.note.isEmpty() ? QString() : QStringLiteral("（%1）").arg(m_special.note);
    switch (m_source) {
    case Source::DayOff: text += QStringLiteral("（休息）"); break;
    case Source::Weekday: text += m_list.path.isEmpty() ? m_shownPath : m_list.path; break;
    case Source::Special:
        text += (m_special.note.isEmpty() ? QStringLiteral("（特殊日）")
                                          : QStringLiteral("（特殊日：%1）").arg(m_special.note)) +
                m_shownPath;
        color = pictures::Amber;
        break;
    case Source::Fallback:
        // What happened first, for the narrow label; the special list's path after it, for the
        // strip a held button shows.
        text += QStringLiteral("⚠ 特殊日%1的列表%2，改按%3的列表：%4（特殊日的列表文件：%5）")
                    .arg(note, m_specialProblem, statustexts::weekdayName(m_special.follows),
                         m_shownPath.isEmpty() ? QStringLiteral("（没有）") : m_shownPath, m_special.listFile);
        color = pictures::Warning;
        break;
    }
    if (m_c.Label28->text() != text)
        m_c.Label28->setText(text);
    setTextColor(m_c.Label28, color);
}

void SchedulerTick::LoadTodayList() {
    if (m_list.path.isEmpty())
        return;  // keep the list loaded before
    m_shownPath = m_list.path;
    showListLabel();
    m_list.loaded = FileSignature::of(m_list.path);
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
    const FileSignature before = FileSignature::of(m_list.path);
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
    m_list.loaded = before;
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
