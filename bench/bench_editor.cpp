// The schedule editor at the largest list a file can hold: opening it, and sorting it in place.
#include "broadcast/todaylist.h"
#include "core/schedulelistfile.h"
#include "editor/scheduleeditor.h"
#include "support/testenv.h"
#include "ui/flexgrid.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

// Start times in no order, with many equal ones, as a list grown by years of adding.
QList<ScheduleItem> makeItems(int n) {
    QList<ScheduleItem> items;
    items.reserve(n);
    for (int i = 0; i < n; ++i)
        items << ScheduleItem{int((i * 7919LL) % 86400 / 60 * 60), QStringLiteral("项目%1").arg(i), i % 600,
                              QStringLiteral("/srv/广播/声音/%1.wav").arg(i)};
    return items;
}

struct Bench {
    TestEnv env;
    QWidget window;
    FlexGrid today{5};
    TodayList todayList;
    ScheduleEditor *editor;
    QString path;

    Bench() : path(env.path("big.lst")) {
        ScheduleListFile::rewrite(path, makeItems(ScheduleListFile::MaxItems));
        editor = new ScheduleEditor(*env.dialogs, env.services.appDir, today, todayList, &window);
        window.resize(900, 400);
        window.show();
        QCoreApplication::processEvents();
        editor->prepareGrid();
    }
    void open() {
        env.dialogs->chosenFiles.enqueue(path);
        editor->Command6->click();
        QCoreApplication::processEvents();  // the repaint the user waits for
    }
    void close() {
        editor->Command6->click();
        QCoreApplication::processEvents();
    }
};

void BM_OpenLargestList(benchmark::State &state) {
    Bench b;
    for (auto _ : state) {
        b.open();
        state.PauseTiming();
        b.close();
        state.ResumeTiming();
    }
    state.counters["rows"] = ScheduleListFile::MaxItems;
}
BENCHMARK(BM_OpenLargestList)->Unit(benchmark::kMillisecond);

void BM_SortAndSaveLargestList(benchmark::State &state) {
    Bench b;
    const QList<ScheduleItem> unsorted = makeItems(ScheduleListFile::MaxItems);
    for (auto _ : state) {
        state.PauseTiming();
        ScheduleListFile::rewrite(b.path, unsorted);
        b.open();
        state.ResumeTiming();
        b.editor->Command18->click();
        QCoreApplication::processEvents();
        state.PauseTiming();
        b.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SortAndSaveLargestList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
