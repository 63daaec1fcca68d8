// The whole program on air at the PulseAudio null sink: when each scheduled WAV, MIDI and MP3
// item is heard relative to its start time (the first of the run and the later ones), and how
// far the clock label lags behind the second. A run takes about two minutes of real time.
#include "app/form1.h"
#include "core/schedulelistfile.h"
#include "core/timetext.h"
#include "editor/weekdaypanel.h"
#include "sinkmonitor.h"
#include "support/fakes.h"
#include "support/testsounds.h"
#include "ui/slider.h"
#include "volume/form2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int ItemCount = 12;
constexpr int ItemSpacingS = 8;  // long enough that the next item's due tick never cuts an MP3 short

struct Stats {
    QList<double> v;
    void add(double x) { v << x; }
    double min() const { return v.isEmpty() ? 0 : *std::min_element(v.begin(), v.end()); }
    double max() const { return v.isEmpty() ? 0 : *std::max_element(v.begin(), v.end()); }
    double median() const {
        if (v.isEmpty())
            return 0;
        QList<double> s = v;
        std::sort(s.begin(), s.end());
        return s[s.size() / 2];
    }
};

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 5 && qstrcmp(argv[1], "--write-sounds") == 0)
        return TestSounds::writeWav(QString::fromLocal8Bit(argv[2]), 800) &&
                       TestSounds::writeMidi(QString::fromLocal8Bit(argv[3]), 800) &&
                       TestSounds::writeMp3(QString::fromLocal8Bit(argv[4]), 800)
                   ? 0
                   : 1;
    QApplication app(argc, argv);
    if (!nullSinkPresent())
        return 1;
    qputenv("PULSE_SINK", NullSink);  // whatever the server's default, the program plays into the null sink
    if (QTime::currentTime() > QTime(23, 55)) {
        std::fprintf(stderr, "the schedule would run past midnight; try again after it\n");
        return 1;
    }

    QTemporaryDir dir;
    const QString wav = dir.filePath("bell.wav"), mid = dir.filePath("tune.mid"), mp3 = dir.filePath("news.mp3");
    // Writing the MP3 starts GStreamer, which the program must meet cold as at a real start:
    // the sounds are written by a process of their own.
    if (QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--write-sounds"), wav, mid, mp3}) !=
        0) {
        std::fprintf(stderr, "cannot write the test sounds\n");
        return 1;
    }
    const QString files[] = {wav, mid, mp3};
    const char *kinds[] = {"WAV", "MIDI", "MP3"};

    // The first item falls due at the first tick after start-up; the rest follow in turn.
    const int s0 = int(QTime::currentTime().msecsSinceStartOfDay() / 1000) + 6;
    QList<ScheduleItem> items;
    for (int k = 0; k < ItemCount; ++k)
        items << ScheduleItem{s0 + k * ItemSpacingS, QStringLiteral("项目%1").arg(k), 0, files[k % 3]};
    if (!ScheduleListFile::rewrite(dir.filePath("today.lst"), items)) {
        std::fprintf(stderr, "cannot write the list\n");
        return 1;
    }

    SinkMonitor monitor;
    if (!monitor.start(5))
        return 1;

    // The real services as the program makes them, except that nothing can be shut down and
    // no message box waits for an answer.
    Services services = makeRealServices(dir.path());
    services.shutdown = std::make_unique<FakeShutdown>();
    services.dialogs = std::make_unique<FakeDialogs>();
    services.quit = [] {};
    Form1 form(services);
    form.show();
    prepareAfterStartUp(services, form.randomMusicHasMidi());
    form.form2().Slider1->setValue(0);  // the loudest
    form.Frame1->Option1->setChecked(true);
    form.Frame1->Text23->setText(dir.filePath("today.lst"));

    // The clock label: how long after its second began it shows that second.
    Stats labelLag;
    int wrongSecond = 0;
    QObject::connect(form.Timer1, &Timer::timeout, [&] {  // runs after the tick's own handler
        const QDateTime now = QDateTime::currentDateTime();
        if (form.Label1->text() == timetext::shortTime(now.time().msecsSinceStartOfDay() / 1000))
            labelLag.add(now.time().msec());
        else
            ++wrongSecond;
    });
    // The event loop: the longest it was kept from a 5 ms timer.
    double uiStall = 0;
    QElapsedTimer since;
    since.start();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        uiStall = std::max(uiStall, since.nsecsElapsed() / 1e6 - 5);
        since.restart();
    });
    probe.start(5);

    const QDate today = QDate::currentDate();
    auto wallOf = [&](int seconds) {
        return double(QDateTime(today, QTime(0, 0).addSecs(seconds)).toMSecsSinceEpoch());
    };
    QEventLoop loop;
    QTimer::singleShot(qint64(wallOf(s0 + (ItemCount - 1) * ItemSpacingS + 4) - wallMs()), &loop, &QEventLoop::quit);
    loop.exec();
    probe.stop();

    std::printf("onset after the start time S, at the null sink (%d items, %d s apart)\n", ItemCount, ItemSpacingS);
    std::printf("  item  kind  start     onset         beep after its due tick (S - 4 s)\n");
    Stats first[3], later[3], beeps;
    bool ok = true;
    for (int k = 0; k < ItemCount; ++k) {
        const double s = wallOf(items[k].StartTime);
        const double heard = monitor.soundAfter(s - 500);
        const double onset = heard < 0 ? -1 : (heard - s) / 1000;
        (k < 3 ? first : later)[k % 3].add(onset);
        const double lo = k % 3 == 2 ? 2.0 : 1.0, hi = k % 3 == 2 ? 2.2 : 1.15;
        const bool inTarget = onset >= lo && onset <= hi;
        ok = ok && inTarget;
        const double beepHeard = monitor.soundAfter(s - 4000 - 100);
        const double beep = beepHeard < 0 || beepHeard > s - 3000 ? -1 : beepHeard - (s - 4000);
        beeps.add(beep);
        std::printf("  %4d  %-4s  %s  S + %.3f s  %s%s\n", k + 1, kinds[k % 3],
                    qPrintable(timetext::twoDigitTime(items[k].StartTime)), onset,
                    beep < 0 ? "none" : qPrintable(QStringLiteral("%1 ms").arg(beep, 0, 'f', 0)),
                    inTarget ? "" : "   (onset outside the target)");
    }
    std::printf("summary (s after S)      first    later: min   median  max     target\n");
    for (int i = 0; i < 3; ++i)
        std::printf("  %-4s                   %.3f           %.3f  %.3f   %.3f   %s\n", kinds[i], first[i].min(),
                    later[i].min(), later[i].median(), later[i].max(), i == 2 ? "2.00 … 2.20" : "1.00 … 1.15");
    std::printf(
        "clock label after the second: median %.0f ms, max %.0f ms over %d ticks; %d ticks showed another "
        "second (target: within 20 ms)\n",
        labelLag.median(), labelLag.max(), int(labelLag.v.size()), wrongSecond);
    std::printf("beep after its due tick: first %.0f ms, median %.0f ms, max %.0f ms\n", beeps.v.value(0),
                beeps.median(), beeps.max());
    std::printf("longest the event loop was held: %.1f ms\n", uiStall);
    ok = ok && labelLag.max() <= 20 && wrongSecond == 0;
    std::printf("%s\n", ok ? "all within their targets" : "NOT all within their targets");
    return ok ? 0 : 2;
}
