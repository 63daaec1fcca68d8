// A Services bundle of fakes over a simulated clock and a fresh temporary AppDir.
#pragma once
#include "app/services.h"
#include "support/fakes.h"
#include "support/simclock.h"

#include <QTemporaryDir>

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
    // Both players' requests and the mixer's speaker writes, each as "HH:mm:ss what".
    QStringList timeline;

    explicit TestEnv(const QDateTime &start = QDateTime(QDate(2026, 12, 7), QTime(7, 0)));
    QString path(const QString &name) const { return dir.filePath(name); }
};
