// The real program on air at the PulseAudio null sink for an hour (or as long as asked):
// scheduled WAV, MIDI and MP3 items with random music between them, each a tone whose pitch
// tells it from the others around it, so the sink's recording tells what sounded when. Reports the items missed
// or heard more than once, random music started over a scheduled item, the program's memory
// over the run and its CPU time. Usage: bench_soak <tollmere executable> [minutes, default 60]
// (scripts/soak.sh starts the test PulseAudio server and builds what it needs).
#include "core/recordfile.h"
#include "core/schedulelistfile.h"
#include "core/timetext.h"
#include "editor/lstcfg.h"
#include "housekeeping/clstimecfg.h"
#include "randommusic/libraryfiles.h"
#include "sinkmonitor.h"
#include "support/testsounds.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr int Window = SinkRate / 20;  // 50 ms, the resolution of what the recording tells
constexpr int ItemSpacingS = 150;
constexpr double BeepHz = 880;  // the due tick's beep
// Items of one kind take PitchCycle pitches in turn, so a pitch comes back only after
// 3 × PitchCycle items, long after the one before it has ended; songs have a pitch per kind.
constexpr int PitchCycle = 4;

double midiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// A sound of the run: what it is, its pitch, and for a scheduled item when it is due.
struct Sound {
    QString path;
    double hz = 0;
    bool midi = false;
    bool scheduled = false;
    int start = 0;                       // seconds since midnight
    int length = 0;                      // its play length, 0 to the end
    int ms = 0;                          // the file's own length
    bool counted = true;                 // a song whose pitch no song before it had
    QList<QPair<double, double>> heard;  // wall ms from, to
};

// Pitches far enough apart to tell apart in 50 ms, and no organ overtone on another's pitch.
bool clashes(double f, bool midi, const QList<Sound> &taken) {
    for (const Sound &s : taken) {
        if (std::abs(f - s.hz) < 60)
            return true;
        for (int k = 2; k <= 6; ++k)
            if ((s.midi && std::abs(k * s.hz - f) < 40) || (midi && std::abs(k * f - s.hz) < 40))
                return true;
    }
    for (int k = 1; k <= 4; ++k)
        if (std::abs(f - k * BeepHz) < 60 || (midi && std::abs(k * f - BeepHz) < 40))
            return true;
    return false;
}

// The share of a window's energy at the pitch hz (1 for a pure tone of that pitch alone).
double share(const qint16 *x, double energy, double hz) {
    const double w = 2 * M_PI * hz / SinkRate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (int i = 0; i < Window; ++i) {
        const double s0 = x[i] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    return power / (energy * Window / 2);
}

// What the process has used: resident KiB and CPU seconds.
QPair<long, double> usage(qint64 pid) {
    long rss = 0;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                rss = line.mid(6).trimmed().split(' ').first().toLong();
    double cpu = 0;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray all = stat.readAll();
        const QList<QByteArray> f = all.mid(all.lastIndexOf(')') + 2).split(' ');  // from field 3 on
        if (f.size() > 12)
            cpu = (f[11].toDouble() + f[12].toDouble()) / sysconf(_SC_CLK_TCK);  // utime, stime
    }
    return {rss, cpu};
}

bool put(const QString &path, const QByteArray &bytes) { return replaceFile(path, bytes).ok(); }

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_soak <tollmere executable> [minutes]\n");
        return 1;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const int minutes = argc > 2 ? std::max(2, atoi(argv[2])) : 60;
    if (!nullSinkPresent())
        return 1;
    const int now = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    if (now + minutes * 60 + 600 >= 86400) {
        std::fprintf(stderr, "the run would pass midnight; start it earlier in the day\n");
        return 1;
    }

    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("tollmere"));
    if (!QFile::copy(program, exe)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }

    // The pitches: PitchCycle for the items of each kind and one for the songs of each kind,
    // the organ's first, as its overtones leave the sines less room than the other way round.
    QList<Sound> taken;
    QHash<QString, std::pair<double, int>> pitches;  // "item <kind> <n>" or "song <kind>": Hz, note
    QStringList keys;
    for (int kind : {1, 0, 2})
        for (int n = 0; n <= PitchCycle; ++n)
            keys << (n < PitchCycle ? QStringLiteral("item %1 %2").arg(kind).arg(n)
                                    : QStringLiteral("song %1").arg(kind));
    for (const QString &key : keys) {
        const bool midi = key.section(QLatin1Char(' '), 1, 1) == QLatin1String("1");
        for (int i = 0; i < 400 && !pitches.contains(key); ++i) {
            const int note = 45 + (i * 7) % 40;
            const double hz = midi ? midiHz(note) : 300 + 10 * ((i * 37) % 340);
            if (!clashes(hz, midi, taken)) {
                pitches.insert(key, {hz, note});
                Sound s;
                s.hz = hz;
                s.midi = midi;
                taken << s;
            }
        }
        if (!pitches.contains(key)) {
            std::fprintf(stderr, "no pitch left for %s\n", qPrintable(key));
            return 1;
        }
    }

    // The sounds: scheduled items every two and a half minutes, and a library of songs.
    QList<Sound> sounds;
    const int items = minutes * 60 / ItemSpacingS;
    const int first = now + 90;
    QList<ScheduleItem> list;
    for (int k = 0; k < items + 12; ++k) {
        Sound s;
        s.scheduled = k < items;
        const int kind = k % 3;  // WAV, MIDI, MP3
        s.midi = kind == 1;
        const QString key = s.scheduled ? QStringLiteral("item %1 %2").arg(kind).arg(k / 3 % PitchCycle)
                                        : QStringLiteral("song %1").arg(kind);
        const auto [hz, note] = pitches.value(key);
        s.hz = hz;
        s.counted = s.scheduled || k < items + 3;
        const int ms = s.scheduled ? 6000 + 1000 * (k % 5) : 20000 + 2000 * (k % 10);
        s.ms = ms;
        s.path = dir.filePath(QStringLiteral("%1%2.%3")
                                  .arg(s.scheduled ? "item" : "song")
                                  .arg(k)
                                  .arg(kind == 0   ? "wav"
                                       : kind == 1 ? "mid"
                                                   : "mp3"));
        const bool written = kind == 0   ? TestSounds::writeWav(s.path, ms, int(hz))
                             : kind == 1 ? TestSounds::writeMidi(s.path, ms, note)
                                         : TestSounds::writeMp3(s.path, ms, int(hz));
        if (!written) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(s.path));
            return 1;
        }
        if (s.scheduled) {
            s.start = first + k * ItemSpacingS;
            s.length = k % 2 ? 4 : 0;  // every other item cut after four seconds
            list << ScheduleItem{s.start, QStringLiteral("项目%1").arg(k), s.length, s.path};
        }
        sounds << s;
    }
    QStringList songs;
    for (const Sound &s : sounds)
        if (!s.scheduled)
            songs << s.path;
    WeekdayListConfig config;
    config.SameEveryDay = true;
    config.EveryDayPath = dir.filePath(QStringLiteral("today.lst"));
    PlayGroup group{now - 60, now + minutes * 60 + 300, {1, 1, 1, 1, 1, 1, 1}};
    if (!ScheduleListFile::rewrite(config.EveryDayPath, list).ok() ||
        !put(dir.filePath("LstCfg.Cfg"), config.toRecord()) ||
        !put(libraryfiles::groupSettingsPath(dir.path() + '/', 0), libraryfiles::groupSettingsBytes({group})) ||
        !put(libraryfiles::songListPath(dir.path() + '/', 0), libraryfiles::bytesFromSongs(songs)) ||
        !put(dir.filePath("Volume.cfg"), QByteArray("0\r\n").repeated(13)) ||  // every slider at the loudest
        !put(dir.filePath("ClsTime.Cfg"), ShutdownRecord{false, 0}.toRecord()) ||
        !put(dir.filePath("qc.cfg"), "\"00\",\"00\",\"00\",0\r\n")) {
        std::fprintf(stderr, "cannot write the settings\n");
        return 1;
    }

    SinkMonitor monitor;
    if (!monitor.start(20))
        return 1;
    QProcess tollmere;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SINK"), QString::fromLatin1(NullSink));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tollmere.setProcessEnvironment(env);
    tollmere.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tollmere.start(exe, {});
    if (!tollmere.waitForStarted(10000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(exe));
        return 1;
    }
    const qint64 pid = tollmere.processId();
    std::printf("bench_soak: %d minutes, %d scheduled items, %d songs; program pid %lld\n", minutes, items,
                int(songs.size()), pid);
    std::fflush(stdout);

    const double t0 = wallMs();
    QList<QPair<double, QPair<long, double>>> use;  // minutes since the start, (KiB, CPU s)
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { use << qMakePair((wallMs() - t0) / 60000, usage(pid)); });
    sampler.start(10000);
    QEventLoop loop;
    QObject::connect(&tollmere, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(qint64(minutes) * 60000, &loop, &QEventLoop::quit);
    loop.exec();
    const bool survived = tollmere.state() == QProcess::Running;
    use << qMakePair((wallMs() - t0) / 60000, usage(pid));
    tollmere.terminate();
    if (!tollmere.waitForFinished(5000))
        tollmere.kill();
    monitor.stop();

    // What sounded when: each pitch in each 50 ms window, joined into stretches across gaps
    // shorter than half a second.
    const std::vector<qint16> &x = monitor.samples();
    for (qsizetype w = 0; w + Window <= qsizetype(x.size()); w += Window) {
        double energy = 0;
        for (int i = 0; i < Window; ++i)
            energy += double(x[size_t(w + i)]) * x[size_t(w + i)];
        if (energy < Window * 30.0 * 30.0)
            continue;  // silence: the null sink gives exact zeros
        const double at = monitor.sample0() + w * 1000.0 / SinkRate;
        for (Sound &s : sounds) {
            if (share(&x[size_t(w)], energy, s.hz) < 0.1)
                continue;
            if (!s.heard.isEmpty() && at - s.heard.last().second < 500)
                s.heard.last().second = at + 50;
            else
                s.heard << qMakePair(at, at + 50);
        }
    }
    const QDate today = QDate::currentDate();
    auto wallOf = [&](int seconds) {
        return double(QDateTime(today, QTime(0, 0).addSecs(seconds)).toMSecsSinceEpoch());
    };
    // An item's pitch comes back with a later item: what it owns is what began near its start.
    for (Sound &s : sounds)
        if (s.scheduled)
            s.heard.removeIf([&](const QPair<double, double> &h) {
                return h.first < wallOf(s.start) - 5000 || h.first > wallOf(s.start) + 60000;
            });

    int missed = 0, twice = 0, heardItems = 0, randomPlays = 0, randomOverItem = 0, itemOverRandom = 0;
    QList<double> onsets[3];
    const double end = t0 + minutes * 60000.0;
    for (int k = 0; k < sounds.size(); ++k) {
        const Sound &s = sounds[k];
        if (!s.scheduled) {
            if (!s.counted)
                continue;  // its pitch was counted with the first song of its kind
            randomPlays += int(s.heard.size());
            // Random music begun while a scheduled item sounded, or an item begun over a song.
            for (const auto &song : s.heard)
                for (const Sound &item : sounds)
                    if (item.scheduled)
                        for (const auto &h : item.heard) {
                            if (song.first > h.first + 200 && song.first < h.second - 200)
                                ++randomOverItem;
                            else if (h.first > song.first + 200 && h.first < song.second - 200)
                                ++itemOverRandom;
                        }
            continue;
        }
        if (wallOf(s.start) + 5000 > end)
            continue;  // due after the end of the run
        const QList<QPair<double, double>> &h = s.heard;
        if (h.isEmpty()) {
            ++missed;
            std::printf("  missed: item %d at %s (%s, %.0f Hz)\n", k, qPrintable(timetext::twoDigitTime(s.start)),
                        qPrintable(QFileInfo(s.path).suffix()), s.hz);
            continue;
        }
        ++heardItems;
        // Heard again: its pitch back once the file has had its time. Within that time the organ's
        // fundamental can dip under the threshold for a moment, and a start over the same
        // file would sound as one tone all the same.
        const double played = (s.length > 0 ? std::min(s.length * 1000, s.ms) : s.ms) + 1000.0;
        const auto again = std::count_if(
            h.begin() + 1, h.end(), [&](const QPair<double, double> &x) { return x.first > h.first().first + played; });
        if (again > 0) {
            ++twice;
            QStringList at;  // each stretch, seconds from the start time to its beginning and end
            for (const auto &x : h)
                at << QStringLiteral("%1…%2")
                          .arg((x.first - wallOf(s.start)) / 1000, 0, 'f', 2)
                          .arg((x.second - wallOf(s.start)) / 1000, 0, 'f', 2);
            std::printf("  heard %d times: item %d at %s (%s, played %.1f s): S + %s s\n", int(again + 1), k,
                        qPrintable(timetext::twoDigitTime(s.start)), qPrintable(QFileInfo(s.path).suffix()),
                        played / 1000, qPrintable(at.join(QStringLiteral(", "))));
        } else if (h.size() > 1) {
            std::printf("  item %d at %s (%s): %d stretches within its own length\n", k,
                        qPrintable(timetext::twoDigitTime(s.start)), qPrintable(QFileInfo(s.path).suffix()),
                        int(h.size()));
        }
        onsets[k % 3] << (h.first().first - wallOf(s.start)) / 1000;
    }
    const char *kinds[] = {"WAV", "MIDI", "MP3"};
    std::printf("scheduled items: %d heard, %d missed, %d heard more than once\n", heardItems, missed, twice);
    for (int i = 0; i < 3; ++i) {
        QList<double> o = onsets[i];
        std::sort(o.begin(), o.end());
        if (!o.isEmpty())
            std::printf("  %-4s onset after the start time: min %.2f s, median %.2f s, max %.2f s\n", kinds[i],
                        o.first(), o[o.size() / 2], o.last());
    }
    std::printf("random songs heard: %d; begun over a scheduled item: %d; items begun over a song: %d\n", randomPlays,
                randomOverItem, itemOverRandom);
    if (use.size() > 1) {
        // Growth from the tenth minute on, when start-up and the first item of each kind are
        // behind it (the first MIDI item brings the synthesiser and its soundfont).
        const auto warm = std::find_if(use.begin(), use.end(), [](const auto &u) { return u.first >= 10; });
        const auto &a = warm != use.end() ? *warm : use.first();
        const auto &b = use.last();
        std::printf("memory: %ld KiB after %.1f min, %ld KiB at %.1f min: %+.0f KiB an hour\n", a.second.first, a.first,
                    b.second.first, b.first,
                    (b.second.first - a.second.first) / std::max(b.first - a.first, 1e-9) * 60);
        std::printf("CPU: %.1f s in %.1f min, %.2f %% of one core\n", b.second.second, b.first,
                    b.second.second / (b.first * 60) * 100);
    }
    std::printf("%s\n", survived ? "the program ran to the end" : "THE PROGRAM ENDED DURING THE RUN");
    return survived && missed == 0 && twice == 0 && randomOverItem == 0 ? 0 : 2;
}
