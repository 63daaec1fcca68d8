// A temporary AppDir with a simulated clock, fake dialogs and a fake mixer: enough for a panel
// tested on its own, without the main window or the players.
#pragma once
#include "support/fakedialogs.h"
#include "support/fakemixer.h"
#include "support/simclock.h"
#include "ui/commondialog.h"

#include <QTemporaryDir>

struct PanelEnv {
    QTemporaryDir dir;
    SimClock simClock;
    FakeDialogs fakeDialogs;
    FakeMixer fakeMixer;
    SimClock *clock = &simClock;
    FakeDialogs *dialogs = &fakeDialogs;
    FakeMixer *mixer = &fakeMixer;
    QString appDir;
    CommonDialog commonDialog{fakeDialogs, nullptr};  // the one file dialog the panels share

    PanelEnv();
    QString path(const QString &name) const { return dir.filePath(name); }
};
