// A Services bundle of fakes over a simulated clock and a fresh temporary AppDir.
#pragma once
#include "app/services.h"
#include "support/fakes.h"
#include "support/simclock.h"

#include <QTemporaryDir>
#include <QTest>

struct TestEnv {
    QTemporaryDir dir;
    Services services;
    SimClock *clock;
    FakeMciPlayer *mci;
    FakeMp3Player *mp3;
    FakeMixer *mixer;
    FakeShutdown *shutdown;
    FakeDialogs *dialogs;
    int beeps = 0;
    int quits = 0;
    // Both players' requests, the mixer's speaker writes and the MIDI synthesiser's
    // preparations, each as "HH:mm:ss what".
    QStringList timeline;

    explicit TestEnv(const QDateTime &start = QDateTime(QDate(2026, 12, 7), QTime(7, 0)));
    QString path(const QString &name) const { return dir.filePath(name); }
};

// The status lines turn left one character every 200 ms, so a text set a few ticks ago reads
// as one of its turnings: the same characters in the same circular order.
inline bool isTurningOf(const QString &shown, const QString &text) {
    return shown.size() == text.size() && (text + text).contains(shown);
}
#define COMPARE_TURNING(shown, text)       \
    QVERIFY2(isTurningOf((shown), (text)), \
             qPrintable(QStringLiteral("\"%1\" is no turning of \"%2\"").arg((shown), (text))))
