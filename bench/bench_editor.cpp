// The schedule editor at the largest list a file can hold: opening it, and sorting it in place.
#include "broadcast/todaylist.h"
#include "core/schedulelistfile.h"
#include "editor/scheduleeditor.h"
#include "support/panelenv.h"
#include "ui/flexgrid.h"

#include "benchsupport.h"

namespace {

struct Bench {
    PanelEnv env;
    QWidget window;
    FlexGrid today{5};
    TodayList todayList;
    ScheduleEditor *editor;
    QString path;

    Bench() : path(env.path("big.lst")) {
        must(ScheduleListFile::rewrite(path, makeItems(ScheduleListFile::MaxItems)));
        editor = new ScheduleEditor(*env.dialogs, env.commonDialog, env.appDir, today, todayList, &window);
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
        must(ScheduleListFile::rewrite(b.path, unsorted));
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

int main(int argc, char **argv) { return runBenchmarks(argc, argv); }
