// List files, today's grid and the scheduler tick at their largest sizes.
#include "app/form1.h"
#include "broadcast/todaylist.h"
#include "core/schedulelistfile.h"
#include "editor/weekdaypanel.h"
#include "support/testenv.h"
#include "ui/flexgrid.h"

#include "benchsupport.h"

namespace {

void BM_LoadListFile(benchmark::State &state) {
    TestEnv env;
    const QString p = env.path("big.lst");
    must(ScheduleListFile::rewrite(p, makeItems(int(state.range(0)))));
    QList<ScheduleItem> items;
    for (auto _ : state) {
        must(ScheduleListFile::load(p, &items));
        benchmark::DoNotOptimize(items.size());
    }
}
BENCHMARK(BM_LoadListFile)->Arg(1000)->Arg(32766)->Unit(benchmark::kMillisecond);

void BM_RewriteListFile(benchmark::State &state) {
    TestEnv env;
    const QString p = env.path("big.lst");
    const QList<ScheduleItem> items = makeItems(int(state.range(0)));
    for (auto _ : state)
        must(ScheduleListFile::rewrite(p, items));
}
BENCHMARK(BM_RewriteListFile)->Arg(32766)->Unit(benchmark::kMillisecond);

void BM_FillGrid(benchmark::State &state) {
    const QList<ScheduleItem> items = makeItems(int(state.range(0)));
    FlexGrid grid(5);
    grid.resize(600, 300);
    grid.show();
    TodayList list;
    for (auto _ : state) {
        state.PauseTiming();
        grid.setRows(1);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        // Today's grid holds at most 1000; the editor's grid takes every row, so fill directly.
        grid.setRows(int(items.size()) + 1);
        FlexGridModel *cells = grid.cells();
        for (int i = 0; i < items.size(); ++i) {
            const ScheduleItem &it = items[i];
            cells->setRowTexts(i + 1, {QString(), QString::number(it.StartTime), it.ItemName,
                                       QString::number(it.PlayLength), it.SoundFile});
        }
        QCoreApplication::processEvents();  // the repaint the user waits for
    }
}
BENCHMARK(BM_FillGrid)->Arg(32766)->Unit(benchmark::kMillisecond);

// A tick with a 1000-item list loaded and nothing due, with a calendar of as many days off
// and make-up days as the argument (none of them today): the tick looks today up twice.
void BM_TickNothingDue(benchmark::State &state) {
    TestEnv env(QDateTime(QDate(2026, 12, 7), QTime(23, 0)));
    QList<ScheduleItem> items = makeItems(1000);
    for (auto &it : items)
        it.StartTime = 3600 + it.StartTime % 3600;  // all in the small hours, long past
    must(ScheduleListFile::rewrite(env.path("day.lst"), items));
    QByteArray holidays;
    for (int i = 1; i <= state.range(0); ++i)
        holidays += QDate(2026, 12, 7).addDays(i).toString(Qt::ISODate).toLatin1() + (i % 2 ? " off\r\n" : " mon\r\n");
    if (QFile f(env.path("Holidays.txt")); !f.open(QIODevice::WriteOnly) || f.write(holidays) != holidays.size())
        std::abort();
    Form1 form(env.services);
    form.Frame1->Text5->setText(env.path("day.lst"));
    form.tick().tick();
    for (auto _ : state)
        form.tick().tick();
    state.counters["items"] = form.todayList.count();
    state.counters["exceptions"] = double(form.holidays().calendar().entries.size());
}
BENCHMARK(BM_TickNothingDue)->Arg(0)->Arg(730)->Unit(benchmark::kMicrosecond);

void BM_LoadTodayList(benchmark::State &state) {
    TestEnv env;
    must(ScheduleListFile::rewrite(env.path("day.lst"), makeItems(1000)));
    Form1 form(env.services);
    form.todayList.path = env.path("day.lst");
    for (auto _ : state)
        form.tick().LoadTodayList();
}
BENCHMARK(BM_LoadTodayList)->Unit(benchmark::kMillisecond);

// Start-up of the main window against an empty window, shown and painted.
void BM_EmptyWindow(benchmark::State &state) {
    for (auto _ : state) {
        QWidget w;
        w.resize(696, 216);
        w.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_EmptyWindow)->Unit(benchmark::kMillisecond);

void BM_Form1StartUp(benchmark::State &state) {
    TestEnv env;
    for (auto _ : state) {
        Form1 form(env.services);
        form.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_Form1StartUp)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) { return runBenchmarks(argc, argv); }
