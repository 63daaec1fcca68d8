// A month on air on the simulated clock: the whole main window with a seeded random operator
// and players that fail at random. Every second: no bell missed or started twice, random music
// only in an open window and never over a scheduled item, no shutdown unless one was set.
// After every operator action and every start: each stored file whole and holding what the
// controls say. TOLLMERE_MONTH_DAYS sets the length (3 days unless given), TOLLMERE_MONTH_SEED
// the seed (a fixed one unless given); the seed is printed at the start and with any failure.
#include "app/form1.h"
#include "broadcast/playbackengine.h"
#include "core/linefile.h"
#include "core/recordfile.h"
#include "core/schedulelistfile.h"
#include "editor/editorrules.h"
#include "editor/lstcfg.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "housekeeping/autoshutdown.h"
#include "housekeeping/clstimecfg.h"
#include "housekeeping/form3.h"
#include "housekeeping/qccfg.h"
#include "randommusic/libraryeditor.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/musicrules.h"
#include "randommusic/sortedlistbox.h"
#include "support/testenv.h"
#include "support/testfiles.h"
#include "ui/flexgrid.h"
#include "ui/slider.h"
#include "ui/timefield.h"
#include "volume/form2.h"
#include "volume/volumecfg.h"

#include <unistd.h>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// Set before main: the whole month runs longer than QtTest's five minutes a test function, and
// without TZ the C library looks at /etc/localtime again at every conversion of a local time,
// which is most of the time a simulated second takes. The simulated days have no summer time.
const bool Environment = [] {
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", "UTC0");
    return true;
}();

const QDateTime Start(QDate(2026, 12, 7), QTime(6, 0));  // a Monday morning
const QStringList Lists = {"week.lst", "friday.lst", "weekend.lst", "spare.lst"};

qint64 envNumber(const char *name, qint64 fallback) {
    bool ok = false;
    const qint64 v = qEnvironmentVariable(name).toLongLong(&ok);
    return ok ? v : fallback;
}

long residentKiB() {
    QFile f("/proc/self/statm");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

int secondsOf(const QDateTime &t) { return t.time().msecsSinceStartOfDay() / 1000; }
int weekdayOf(const QDateTime &t) { return t.date().dayOfWeek() % 7 + 1; }  // 1 = Sunday

bool scheduled(const QString &path) { return path.startsWith("/sched/"); }
bool music(const QString &path) { return path.startsWith("/music/"); }

}  // namespace

class Month {
public:
    Month(quint64 seed, int days) : m_seed(seed), m_days(days), m_rng(seed), env(Start) {}

    QString failure;
    QString summary;

    void run() {
        install();
        QElapsedTimer wall;
        wall.start();
        QList<long> rss;
        startProgram();
        QDateTime second = Start;
        const QDateTime end = Start.addDays(m_days);
        while (second < end && failure.isEmpty()) {
            second = second.addSecs(1);
            // What the event loop would have done meanwhile: the events the widgets posted (a
            // shown icon's layout request, every second) and the deletes they deferred. Left in
            // the queue they would pile up as memory the program on air never holds.
            QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (second.time() == QTime(0, 0))
                rss << residentKiB();
            if (!m_form) {
                env.clock->advanceTo(second);
                if (second >= m_restartAt)
                    startProgram();
                continue;
            }
            env.clock->advanceTo(second.addMSecs(500));  // the tick of `second` and all else due
            afterTick(second);
            if (m_form)
                players(second);
            if (m_form && failure.isEmpty())
                operate(second);
            // The fakes' records, kept by the test's own services, are not the program's memory.
            env.mci->log.clear();
            env.mp3->log.clear();
            env.timeline.clear();
            env.mixer->speakerWrites.clear();
            env.mixer->micWrites.clear();
        }
        const double perDay =
            rss.size() > 2 ? double(rss.last() - rss[1]) / (rss.size() - 2) : 0.0;  // from the second midnight on
        summary = QStringLiteral(
                      "seed %1, %2 days in %3 s: %4 items started (%5 played on time), %6 random songs, "
                      "%7 player faults, %8 operator actions, %9 starts of the program, %10 shutdowns, "
                      "%11 checks; resident memory %12 KiB at the first midnight, %13 KiB/day after")
                      .arg(m_seed)
                      .arg(m_days)
                      .arg(wall.elapsed() / 1000.0, 0, 'f', 1)
                      .arg(m_started)
                      .arg(m_playedOnTime)
                      .arg(m_randomSongs)
                      .arg(m_faults)
                      .arg(m_actions)
                      .arg(m_starts)
                      .arg(m_shutdowns)
                      .arg(m_checks)
                      .arg(rss.isEmpty() ? 0 : rss.first())
                      .arg(perDay, 0, 'f', 1);
        QStringList byDay;
        for (long kib : rss)
            byDay << QString::number(kib);
        summary += QStringLiteral("\nresident KiB at each midnight: ") + byDay.join(' ');
    }

private:
    struct Chain {  // due items handed to the start delay, the last one to be played
        bool active = false;
        QDateTime start;
        QString file;
        bool exempt = false;  // the operator took the player over meanwhile
    };

    quint64 m_seed;
    int m_days;
    QRandomGenerator m_rng;
    TestEnv env;
    std::unique_ptr<Form1> m_form;
    QDateTime m_restartAt;
    bool m_acting = false, m_quit = false;
    QStringList m_marks;                      // column 0 of today's grid as last seen, row 0 the header
    QList<QPair<int, QDateTime>> m_newMarks;  // marks set by the program and not yet matched by a start
    QDateTime m_lastTick;
    Chain m_chain;
    QDateTime m_mciEnd, m_mp3End;
    FakePlay m_mciPlay = FakePlay::Plays, m_mp3Play = FakePlay::Plays;
    QDateTime m_schedCutAt;                // when a random start last stopped a scheduled item it knew of
    QString m_schedCut;                    // which, by what
    std::optional<qccfg::Read> m_qcSaved;  // what the clearing dialog last saved or loaded
    QDateTime m_armedAt;                   // the last second at which a shutdown was set and its time passed
    QDateTime m_lastActionAt;
    QHash<QString, QDateTime> m_lastStart;  // by start time and file
    int m_requests = 0, m_newSongs = 0;
    qint64 m_checks = 0;
    int m_started = 0, m_playedOnTime = 0, m_randomSongs = 0, m_faults = 0, m_actions = 0, m_starts = 0,
        m_shutdowns = 0;

    int pick(int n) { return int(m_rng.bounded(quint32(n))); }
    bool chance(double p) { return m_rng.generateDouble() < p; }
    QString path(const QString &name) const { return env.path(name); }

    void expect(bool ok, const QString &what) {
        ++m_checks;
        if (!ok && failure.isEmpty())
            failure = QStringLiteral("seed %1 at %2: %3")
                          .arg(m_seed)
                          .arg(env.clock->now().toString("yyyy-MM-dd ddd HH:mm:ss.zzz"), what);
    }

    // --- the installation the month starts from --------------------------------------------

    QString soundFile(const QString &folder, int k) {
        static const QStringList types = {"wav", "wav", "wav", "mp3", "mp3", "mid"};
        return QStringLiteral("/%1/%2.%3").arg(folder).arg(k).arg(types[pick(types.size())]);
    }

    ScheduleItem randomItem(const QString &list, int k, int at) {
        const int length = chance(0.5) ? 0 : 5 + pick(115);
        return {at, QStringLiteral("第%1项").arg(k), length, soundFile("sched/" + list, k)};
    }

    void install() {
        for (const QString &name : Lists) {
            QList<ScheduleItem> items;
            for (int k = 1; k <= 16 + pick(20); ++k) {
                int at = 6 * 3600 + 1800 + pick(15 * 3600);
                if (!items.isEmpty() && chance(0.15))
                    at = items.last().StartTime + pick(6);  // within one start delay of the one before
                items << randomItem(name, k, qMin(at, 86399));
            }
            QVERIFY(ScheduleListFile::rewrite(path(name), items).ok());
        }
        WeekdayListConfig c;
        c.DayPaths = {path("weekend.lst"), path("week.lst"),   path("week.lst"),   path("week.lst"),
                      path("week.lst"),    path("friday.lst"), path("weekend.lst")};
        c.EveryDayPath = path("spare.lst");
        QVERIFY(replaceFile(path("LstCfg.Cfg"), c.toRecord()).ok());
        for (int n = 0; n < MusicLibraries::Count; ++n) {
            std::array<PlayGroup, 4> groups{};
            for (PlayGroup &g : groups)
                g = randomGroup();
            QVERIFY(replaceFile(libraryfiles::groupSettingsPath(env.services.appDir, n),
                                libraryfiles::groupSettingsBytes(groups))
                        .ok());
            QStringList songs;
            for (int k = 1; k <= 1 + pick(25); ++k)
                songs << soundFile(QStringLiteral("music/L%1").arg(n), k);
            QVERIFY(replaceFile(libraryfiles::songListPath(env.services.appDir, n), libraryfiles::bytesFromSongs(songs))
                        .ok());
        }
    }

    PlayGroup randomGroup() {
        PlayGroup g;
        if (chance(0.2))
            return g;  // off
        g.start = 6 * 3600 + pick(15 * 3600);
        g.stop = g.start + 300 + pick(2 * 3600);
        for (qint16 &d : g.days)
            d = chance(0.7) ? 1 : 0;
        return g;
    }

    // --- the program, started and ended -----------------------------------------------------

    void startProgram() {
        env.services.beep = [this] { started(); };
        env.services.quit = [this] { m_quit = true; };
        env.mci->onRecord = [this](const QString &e) { player(e); };
        env.mp3->onRecord = [this](const QString &e) { player(e); };
        env.mci->reportsDone = env.mp3->reportsDone = true;
        m_form = std::make_unique<Form1>(env.services);
        m_form->show();
        ++m_starts;
        m_quit = false;
        m_chain = {};
        m_lastTick = env.clock->now();
        m_marks = QStringList(m_form->MSFlexGrid1->Rows(), QString());
        FlexGridModel *cells = m_form->MSFlexGrid1->cells();
        QObject::connect(cells, &QAbstractItemModel::dataChanged, m_form.get(),
                         [this](const QModelIndex &from, const QModelIndex &to) {
                             if (from.column() == 0)
                                 for (int r = from.row() + 1; r <= to.row() + 1; ++r)
                                     markChanged(r);
                         });
        auto resync = [this] { m_marks.resize(m_form->MSFlexGrid1->Rows()); };
        QObject::connect(cells, &QAbstractItemModel::rowsInserted, m_form.get(), resync);
        QObject::connect(cells, &QAbstractItemModel::rowsRemoved, m_form.get(), resync);
        QObject::connect(m_form->Timer1, &Timer::timeout, m_form.get(), [this] { m_lastTick = env.clock->now(); });
        // A scheduled item stopped by its own length, by the next due item or by the shutdown
        // countdown was not cut by the random music, even when a random song follows at once.
        for (Timer *t : {m_form->Timer1, m_form->Timer5, m_form->autoShutdown().Timer2})
            QObject::connect(t, &Timer::timeout, m_form.get(), [this] {
                if (m_schedCutAt == env.clock->now())
                    m_schedCutAt = {};
            });
        if (!bytesOf(m_form->form3().settingsFilePath()).isEmpty())
            m_qcSaved = clearingShown();
        checkFiles();  // start-up read every file back into the controls
    }

    void endProgram(const QDateTime &restart) {
        m_form.reset();
        env.mci->finishPlaying(4);  // the process and its players are gone
        env.mp3->finishPlaying();
        m_restartAt = restart;
        m_newMarks.clear();
    }

    // --- the scheduler ------------------------------------------------------------------------

    void markChanged(int row) {
        const QString now = m_form->MSFlexGrid1->TextMatrix(row, 0);
        QString &was = m_marks[row];
        if (now == QStringLiteral("√") && was != now && !m_acting)
            m_newMarks.append({row, env.clock->now()});
        was = now;
    }

    // The beep of a started item: its row was unmarked until this very tick marked it, and it
    // is due.
    void started() {
        if (!m_form)
            return;
        ++m_started;
        const QDateTime now = env.clock->now();
        const int i = m_form->playback.CurrentItem;
        const TodayItem *item = m_form->todayList.item(i);
        expect(item != nullptr, QStringLiteral("started item %1 is not in today's list").arg(i));
        if (!item)
            return;
        const int t = secondsOf(now);
        expect(now.time().msec() == 0 && t < item->StartTime && item->StartTime < t + 5,
               QStringLiteral("item %1 at %2 started outside its due window").arg(i).arg(item->StartTime));
        expect(m_newMarks.removeOne({i, now}), QStringLiteral("item %1 started although it was marked").arg(i));
        // Started again within its due window only when the operator switched it on again.
        const QString key = QString::number(item->StartTime) + item->SoundFile;
        const QDateTime last = m_lastStart.value(key);
        expect(!last.isValid() || last.secsTo(now) >= 5 || m_lastActionAt > last,
               QStringLiteral("item %1 at %2 started twice").arg(i).arg(item->StartTime));
        m_lastStart.insert(key, now);
        if (!m_form->Timer4->isEnabled())
            m_chain = {true, now, item->SoundFile, false};
        else
            m_chain.file = item->SoundFile;
    }

    void afterTick(const QDateTime &second) {
        expect(m_lastTick == second, QStringLiteral("no tick at this second (last at %1)").arg(m_lastTick.toString()));
        expect(m_newMarks.isEmpty(), QStringLiteral("row %1 marked without being started")
                                         .arg(m_newMarks.isEmpty() ? 0 : m_newMarks.first().first));
        m_newMarks.clear();
        const int t = secondsOf(second);
        const TodayList &list = m_form->todayList;
        for (int i = 1; i <= list.count(); ++i) {
            const int s = list.items[i - 1].StartTime;
            if (t < s && s < t + 5)
                expect(m_form->MSFlexGrid1->TextMatrix(i, 0) == QStringLiteral("√"),
                       QStringLiteral("item %1 due at %2 was not started").arg(i).arg(s));
        }
        if (m_chain.active && m_chain.start.secsTo(second) >= 7) {
            expect(m_chain.exempt,
                   "the item due at " + m_chain.start.toString("HH:mm:ss") + " never played: " + m_chain.file);
            m_chain.active = false;
        }
        // The shutdown: asked for only when one is set and its time has passed.
        AutoShutdown &shutdown = m_form->autoShutdown();
        if (shutdown.Check1->isChecked() && t >= shutdown.ShutdownTime)
            m_armedAt = second;
        if (env.shutdown->requests > m_requests) {
            m_requests = env.shutdown->requests;
            expect(m_armedAt.isValid() && m_armedAt.secsTo(second) <= 20, "a shutdown that was not set");
            if (!env.shutdown->refuse) {
                ++m_shutdowns;
                endProgram(QDateTime(second.date().addDays(1), QTime(6, 0)).addSecs(60 * pick(90)));
            }
        }
        if (m_form && m_form->autoShutdown().Frame4->isVisible())
            env.shutdown->refuse = chance(0.2);
    }

    // --- the players: files end, and some fail --------------------------------------------

    int duration(const QString &file) const {
        const int h = int(qHash(file) % 1000);
        if (scheduled(file))
            return file.endsWith("wav") ? 3 + h % 40 : 20 + h % 160;
        return 60 + h % 240;
    }

    FakePlay fault(QDateTime *end, const QString &file) {
        const double r = m_rng.generateDouble();
        const QDateTime now = env.clock->now();
        *end = now.addSecs(duration(file));
        if (r < 0.7)
            return FakePlay::Plays;
        ++m_faults;
        if (r < 0.8) {
            *end = now.addSecs(pick(duration(file)));  // ends early
            return FakePlay::Plays;
        }
        return r < 0.9 ? FakePlay::FailsToOpen : FakePlay::NeverReports;
    }

    // Every request the players get, as it arrives.
    void player(const QString &entry) {
        if (!m_form)
            return;
        const QDateTime now = env.clock->now();
        const bool cut = entry == "mci stop" || entry == "mci close" || entry == "mci open" || entry == "mp3 Stop" ||
                         entry.startsWith("mp3 Open=");
        if (cut && !m_acting) {
            const bool mci = entry.startsWith("mci");
            const QString playing = mci ? env.mci->playingFile() : env.mp3->playingFile();
            const FakePlay how = mci ? m_mciPlay : m_mp3Play;
            // A scheduled item the program was told of, cut by anything but its own length or
            // the next scheduled start.
            if (scheduled(playing) && how != FakePlay::NeverReports && !m_form->Timer4->isEnabled()) {
                m_schedCutAt = now;
                m_schedCut = playing + " by " + entry;
            }
        }
        if (entry == "mci play") {
            m_mciPlay = env.mci->nextPlay = fault(&m_mciEnd, env.mci->fileName());
            startedPlaying(env.mci->fileName(), now, 5);
        } else if (entry == "mp3 Play") {
            m_mp3Play = env.mp3->nextPlay = fault(&m_mp3End, m_mp3File);
            env.mp3->units = duration(m_mp3File) * 1000.0;
            startedPlaying(m_mp3File, now.addSecs(-1), 6);
        } else if (entry.startsWith("mp3 Open=")) {
            m_mp3File = entry.mid(9);
        }
    }
    QString m_mp3File;

    // A file begins: a scheduled one where the start delay ends, a random one in an open
    // window with nothing scheduled on.
    void startedPlaying(const QString &file, const QDateTime &pickedAt, int delay) {
        if (m_acting)
            return;  // started by hand
        const QDateTime now = env.clock->now();
        if (scheduled(file)) {
            if (m_chain.active && m_chain.start.msecsTo(now) == delay * 1000) {
                expect(file == m_chain.file || m_chain.exempt, "played " + file + " instead of " + m_chain.file);
                m_chain.active = false;
                ++m_playedOnTime;
            }
            return;
        }
        if (!music(file))
            return;
        ++m_randomSongs;
        const int L = file.mid(8, 1).toInt();
        const MusicLibrary &library = m_form->libraries.library[std::size_t(L)];
        expect(musicrules::openGroup(library.groups, secondsOf(pickedAt), weekdayOf(pickedAt)) != 0,
               "random song " + file + " outside its library's windows");
        expect(!m_chain.active || m_chain.exempt, "random song " + file + " while an item waits to start");
        expect(m_schedCutAt != pickedAt, "random song " + file + " cut " + m_schedCut);
    }

    void players(const QDateTime &now) {
        if (env.mci->playing() && now >= m_mciEnd)
            env.mci->finishPlaying(1);
        env.mp3->reportStarted();
        if (env.mp3->playing() && now >= m_mp3End)
            env.mp3->finishPlaying();
    }

    // --- the operator -------------------------------------------------------------------------

    void operate(const QDateTime &now) {
        AutoShutdown &shutdown = m_form->autoShutdown();
        const int hour = now.time().hour();
        const double rate = (hour >= 7 && hour < 18) ? 1.0 / 240 : 1.0 / 3000;
        const bool countdown = shutdown.Frame4->isVisible() && chance(0.1);
        if (!countdown && !chance(rate))
            return;
        ++m_actions;
        m_acting = true;
        if (countdown)
            (chance(0.8) ? shutdown.Command17 : shutdown.Command16)->click();
        else if (m_form->scheduleEditor().state() != editorrules::State::Closed)
            editList();
        else if (m_form->libraryEditor().isVisible())
            editLibrary();
        else
            mainAction();
        m_acting = false;
        for (const FakeDialogs::Shown &m : env.dialogs->messages)
            expect(m.icon != Dialogs::Icon::Critical, "the operator was told: " + m.text);
        env.dialogs->messages.clear();
        env.dialogs->fileRequests.clear();
        if (m_quit) {
            endProgram(now.addSecs(60 + pick(1800)));
            return;
        }
        m_lastActionAt = now;
        checkFiles();
    }

    void mainAction() {
        Form1 &f = *m_form;
        FlexGrid &grid = *f.MSFlexGrid1;
        switch (pick(9)) {
        case 0:  // a row prepared by hand, maybe switched off or on
            if (grid.Rows() > 1) {
                m_chain.exempt = true;  // the prepared file is the one the start delay plays
                grid.setRow(1 + pick(grid.Rows() - 1));
                emit grid.Click();
                if (chance(0.3))
                    f.Command19->click();
                else if (chance(0.3))
                    emit grid.DblClick();
            }
            break;
        case 1:
        case 2: weekdays(); break;
        case 3: {  // a list opened in the editor
            const QString name = chance(0.9) ? Lists[pick(Lists.size())] : QStringLiteral("new%1.lst").arg(pick(5));
            env.dialogs->chosenFiles.enqueue(path(name));
            f.scheduleEditor().Command6->click();
            expect(f.scheduleEditor().state() == editorrules::State::Open, "could not open " + name);
            break;
        }
        case 4: f.Command22->click(); break;
        case 5: volumes(); break;
        case 6: shutdownSettings(); break;
        case 7: clearingSettings(); break;
        case 8:
            if (f.Command1->isEnabled() && chance(0.3))
                f.Command1->click();  // exit; started again a while later
            break;
        }
    }

    void weekdays() {
        WeekdayPanel &p = *m_form->Frame1;
        if (!p.isEnabled())
            return;
        const QString list = chance(0.9) ? path(Lists[pick(Lists.size())]) : QString();
        if (chance(0.2))
            (p.Option1->isChecked() ? p.Option2 : p.Option1)->setChecked(true);
        else if (p.Option1->isChecked())
            p.Text23->setText(list);
        else
            p.dayText(1 + pick(7))->setText(list);
        if (chance(0.6) && p.Command11->isEnabled())
            p.Command11->click();
    }

    void editList() {
        ScheduleEditor &e = m_form->scheduleEditor();
        FlexGrid &grid = *e.MSFlexGrid2;
        const int rows = grid.Rows() - 1;
        auto chooseRow = [&] {
            grid.setRow(1 + pick(rows));
            emit grid.Click();
        };
        auto fillFields = [&] {
            e.Text11->setText(chance(0.5) ? QStringLiteral("铃声%1").arg(pick(100))
                                          : QStringLiteral("bell %1").arg(pick(100)));
            e.Text12->setText(soundFile("sched/edit", pick(1000)));
            e.StartEntry->setTime(6 + pick(16), pick(60), pick(60));
            (chance(0.5) ? e.Option3 : e.Option4)->setChecked(true);
            e.LengthEntry->setTime(0, pick(3), pick(60));
        };
        switch (pick(8)) {
        case 0:
        case 1:  // add
            e.Command7->click();
            fillFields();
            e.Command7->click();
            if (e.state() == editorrules::State::Adding)
                e.Command5->click();  // "时间设置错误！": given up
            env.dialogs->messages.clear();
            break;
        case 2:  // modify
            if (rows > 0) {
                chooseRow();
                e.Command8->click();
                fillFields();
                e.Command8->click();
            }
            break;
        case 3:  // delete
            if (rows > 0) {
                chooseRow();
                e.Command9->click();
                e.Command9->click();
            }
            break;
        case 4: e.Command18->click(); break;
        case 5:  // save as
            env.dialogs->chosenFiles.enqueue(path(Lists[pick(Lists.size())]));
            e.Command13->click();
            break;
        default:
            e.Command6->click();  // closed: the list goes into today's grid
            break;
        }
        expect(e.state() == editorrules::State::Open || e.state() == editorrules::State::Closed,
               "the editor was left in the middle of a command");
    }

    void editLibrary() {
        LibraryEditor &e = m_form->libraryEditor();
        const int g = 1 + pick(4);
        switch (pick(7)) {
        case 0: e.showLibrary(pick(3)); break;
        case 1: {
            const PlayGroup r = randomGroup();
            e.group(g).start->setTime(r.start / 3600, r.start / 60 % 60, r.start % 60);
            e.group(g).stop->setTime(r.stop / 3600 % 24, r.stop / 60 % 60, r.stop % 60);
            break;
        }
        case 2: {
            QCheckBox *day = e.group(g).days[std::size_t(pick(7))];
            day->setChecked(!day->isChecked());
            break;
        }
        case 3: {
            QStringList added;
            for (int k = 0; k <= pick(3); ++k)
                added << soundFile(QStringLiteral("music/L%1").arg(m_form->libraries.CurrentLibrary),
                                   1000 + ++m_newSongs);
            env.dialogs->chosenFileLists.enqueue(added);
            e.Command23->click();
            break;
        }
        case 4:
            if (e.List2->count() > 0) {
                e.List2->setCurrentRow(pick(e.List2->count()));
                e.Command24->click();
            }
            break;
        default: e.Command25->click(); break;
        }
    }

    void volumes() {
        Form2 &v = m_form->form2();
        m_form->Command28->click();
        for (int k = 0; k <= pick(3); ++k) {
            Slider *s = chance(0.3) ? v.Slider1 : v.Slider2[std::size_t(pick(12))];
            s->setValue(s->minimum() + pick(s->maximum() - s->minimum() + 1));
        }
        if (chance(0.5))
            v.Command11->click();
        env.dialogs->answers.enqueue(chance(0.5) ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        v.Command1->click();
        env.dialogs->answers.clear();
        expect(m_form->isVisible() && !v.isVisible(), "the volume dialog did not give the main window back");
    }

    void shutdownSettings() {
        AutoShutdown &s = m_form->autoShutdown();
        m_form->Command14->click();
        s.Check1->setChecked(chance(0.5));
        s.timeEntry->setTime(17 + pick(6), pick(60), pick(60));
        s.Command15->click();
    }

    void clearingSettings() {
        AutoShutdown &s = m_form->autoShutdown();
        Form3 &c = m_form->form3();
        m_form->Command14->click();
        s.Command29->click();
        if (chance(0.5))
            c.timeEntry->setTime(0, 0, 0);
        else
            c.timeEntry->setTime(pick(24), pick(60), pick(60));
        c.Check1->setChecked(chance(0.85));
        bool saved = chance(0.5) && c.Command1->isEnabled();
        if (saved)
            c.Command1->click();
        const bool yes = chance(0.5);
        saved = saved || (yes && c.Command1->isEnabled());
        env.dialogs->answers.enqueue(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        c.Command2->click();
        if (saved)
            m_qcSaved = clearingShown();
        env.dialogs->answers.clear();
        s.Command15->click();
    }

    // --- the stored files ---------------------------------------------------------------------

    qccfg::Read clearingShown() {
        Form3 &c = m_form->form3();
        return {std::array<QString, 3>{c.Text22->text(), c.Text21->text(), c.Text20->text()}, c.Check1->isChecked()};
    }

    void checkFiles() {
        Form1 &f = *m_form;
        for (const QFileInfo &fi : QDir(env.dir.path()).entryInfoList({"*.lst"}, QDir::Files))
            expect(fi.size() % ScheduleItem::RecordSize == 0, "list file cut short: " + fi.fileName());
        if (f.scheduleEditor().state() == editorrules::State::Open) {
            const FlexGrid &g = *f.scheduleEditor().MSFlexGrid2;
            QByteArray shown;
            for (int r = 1; r < g.Rows(); ++r)
                shown += editorrules::itemFromRow(g.TextMatrix(r, 0), g.TextMatrix(r, 1), g.TextMatrix(r, 2),
                                                  g.TextMatrix(r, 3))
                             .toRecord();
            expect(bytesOf(f.scheduleEditor().Text19->text()) == shown, "the open list's file differs from the editor");
        }

        const QByteArray lst = bytesOf(path("LstCfg.Cfg"));
        expect(lst.size() == WeekdayListConfig::RecordSize, "LstCfg.Cfg is not one record");
        // Unsaved while "保存" is enabled, even while the open editor disables the whole panel.
        if (f.Frame1->Command11->testAttribute(Qt::WA_ForceDisabled))
            expect(lst == f.Frame1->config().toRecord(), "LstCfg.Cfg differs from the saved weekday lists");

        const QByteArray volume = bytesOf(f.form2().volumeFilePath());
        const volumecfg::ReadPositions positions = volumecfg::parse(linefile::parse(volume));
        expect(volume.isEmpty() || volume.count('\n') == volumecfg::Count, "Volume.cfg is not 13 lines");
        if (!volume.isEmpty() && !f.form2().Command11->isEnabled()) {
            bool same = positions[0] == f.form2().Slider1->value();
            for (int k = 0; k < 12; ++k)
                same = same && positions[std::size_t(k + 1)] == f.form2().Slider2[std::size_t(k)]->value();
            expect(same, "Volume.cfg differs from the saved sliders");
        }

        const QByteArray qc = bytesOf(f.form3().settingsFilePath());
        const qccfg::Read clearing = qccfg::parse(linefile::parse(qc));
        expect(qc.isEmpty() || (clearing.time && clearing.clearing), "qc.cfg does not read");
        if (!qc.isEmpty() && m_qcSaved)
            expect(clearing.time == m_qcSaved->time && clearing.clearing == m_qcSaved->clearing,
                   "qc.cfg differs from the saved clearing setting: " + QString::fromLatin1(qc.trimmed()) + " / " +
                       m_qcSaved->time.value_or(std::array<QString, 3>{}).at(0) + ":" +
                       m_qcSaved->time.value_or(std::array<QString, 3>{}).at(1) + ":" +
                       m_qcSaved->time.value_or(std::array<QString, 3>{}).at(2) + " " +
                       QString::number(m_qcSaved->clearing.value_or(false)));

        const AutoShutdown &s = f.autoShutdown();
        const QByteArray cls = bytesOf(s.settingsFilePath());
        expect(cls.isEmpty() || cls.size() == ShutdownRecord::RecordSize, "ClsTime.Cfg is not one record");
        if (!s.Picture2->isVisible()) {
            const ShutdownRecord stored = ShutdownRecord::fromFile(cls);
            expect(stored.Enabled == s.Check1->isChecked() && stored.Time == s.ShutdownTime,
                   "ClsTime.Cfg differs from the shutdown in force");
        }

        for (int n = 0; n < MusicLibraries::Count; ++n) {
            const MusicLibrary &library = f.libraries.library[std::size_t(n)];
            const QByteArray groups = bytesOf(libraryfiles::groupSettingsPath(env.services.appDir, n));
            expect(groups.size() == libraryfiles::GroupFileSize,
                   QStringLiteral("Sjbf%1.dat is not four groups").arg(n));
            for (int g = 0; g < 4; ++g) {
                const PlayGroup stored = libraryfiles::groupFromRecord(groups.mid(g * 30, 30));
                const PlayGroup &memory = library.groups[std::size_t(g)];
                expect(stored.start == memory.start && stored.stop == memory.stop && stored.days == memory.days,
                       QStringLiteral("Sjbf%1.dat group %2 (%3-%4) differs from the groups in force (%5-%6)")
                           .arg(n)
                           .arg(g + 1)
                           .arg(stored.start)
                           .arg(stored.stop)
                           .arg(memory.start)
                           .arg(memory.stop));
            }
            const QByteArray songs = bytesOf(libraryfiles::songListPath(env.services.appDir, n));
            expect(libraryfiles::songsFromBytes(songs) == library.songs(),
                   QStringLiteral("SjFile%1.dat differs from the songs in force").arg(n));
        }
    }
};

class TestMonth : public QObject {
    Q_OBJECT
private slots:
    void aMonthOnAir() {
        // A fixed seed unless given, so that CI runs the same days every time.
        const quint64 seed = quint64(envNumber("TOLLMERE_MONTH_SEED", 20261207));
        const int days = int(envNumber("TOLLMERE_MONTH_DAYS", 3));
        std::printf("month: seed %llu, %d days (TOLLMERE_MONTH_SEED=%llu replays it)\n", (unsigned long long)seed, days,
                    (unsigned long long)seed);
        std::fflush(stdout);
        Month month(seed, days);
        month.run();
        std::printf("month: %s\n", qPrintable(month.summary));
        QVERIFY2(month.failure.isEmpty(), qPrintable(month.failure));
    }
};

QTEST_MAIN(TestMonth)
#include "tst_month.moc"
