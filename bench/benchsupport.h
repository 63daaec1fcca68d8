// What the benchmarks share: lists of many items, and a main that runs them under Qt.
#pragma once
#include "core/result.h"
#include "core/scheduleitem.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QList>
#include <cstdio>
#include <cstdlib>

// Start times in no order, with many equal ones, as a list grown by years of adding.
inline QList<ScheduleItem> makeItems(int n) {
    QList<ScheduleItem> items;
    items.reserve(n);
    for (int i = 0; i < n; ++i)
        items << ScheduleItem{int((i * 7919LL) % 86400 / 60 * 60), QStringLiteral("项目%1").arg(i), i % 600,
                              QStringLiteral("/srv/广播/声音/%1.wav").arg(i)};
    return items;
}

// Setting up a measurement must not fail silently: a benchmark of nothing measures nothing.
inline void must(const Result &r) {
    if (!r) {
        std::fprintf(stderr, "benchmark set-up failed: %s\n", qPrintable(r.reason()));
        std::abort();
    }
}

// Widgets need an application; without a display the offscreen platform serves.
inline int runBenchmarks(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
