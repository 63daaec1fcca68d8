// The automatic shutdown: the settings strip Picture2, the countdown panel Frame4 and their timers.
#pragma once
#include "broadcast/mciplayer.h"
#include "broadcast/mp3player.h"
#include "core/asrunlog.h"
#include "core/clock.h"
#include "housekeeping/shutdownrequester.h"
#include "ui/dialogs.h"
#include "ui/timefield.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

struct ShutdownParts {
    Clock *clock = nullptr;
    Dialogs *dialogs = nullptr;
    QString appDir;  // where ClsTime.Cfg lies
    MciPlayer *mci = nullptr;
    Mp3Player *mp3 = nullptr;
    ShutdownRequester *requester = nullptr;
    AsRunLog *asRun = &AsRunLog::discard();  // countdowns, requests and their answers
};

// Watching (Timer2 checks every five seconds), editing (the strip open, no check) or
// counting down (Frame4 shown, Timer3 ticking ten seconds to the power-off request). A
// request the system does not carry out leaves the countdown at 0 with the reason in plain
// words, and the program broadcasting as before.
class AutoShutdown : public QObject {
    Q_OBJECT
public:
    // The strip and the panel are made hidden inside window, which places them.
    AutoShutdown(const ShutdownParts &parts, QWidget *window);

    // Start-up: ClsTime.Cfg into the strip and ShutdownTime; the check starts.
    void startUp();
    // Command14 "自动关机": the strip opens with the stored setting; no check while it is open.
    void openStrip();
    // The stored setting read again, as at start-up, after someone else changed the file.
    void reloadSettings() { readSettings(true); }

    QString settingsFilePath() const;

    // Picture2, the settings strip.
    QWidget *Picture2;
    QCheckBox *Check1;     // "自动关机"
    QFrame *Frame3;        // enabled while Check1 is ticked
    QLabel *Label21;       // "关机时间"
    TimeEntry *timeEntry;  // Text22 / VScroll9, Text21 / VScroll8, Text20 / VScroll7, typeable
    QLineEdit *Text22, *Text21, *Text20;
    Spinner *VScroll9, *VScroll8, *VScroll7;
    QPushButton *Command15;  // "确定"
    QPushButton *Command29;  // "播放清除"

    // Frame4, the countdown.
    QGroupBox *Frame4;       // "自动关机"
    QLabel *Label23;         // the seconds left, red
    QPushButton *Command16;  // "关机"
    QPushButton *Command17;  // "取消"

    Timer *Timer2;  // 5000 ms: the check
    Timer *Timer3;  // 1000 ms: the countdown

    int ShutdownTime = 0;  // seconds since midnight, as last loaded at start-up or confirmed
    qint16 ShutdownCountdown = 0;

signals:
    // Command29: the mark clearing dialog is wanted.
    void markClearingRequested();

private:
    void buildStrip(QWidget *window);
    void buildCountdown(QWidget *window);
    void readSettings(bool setShutdownTime);
    void confirm();
    void check();
    void startCountdown();
    void countdownTick();
    void shutDownNow();
    void cancel();
    void requestPowerOff();
    void answered(bool accepted, const QString &reason);

    ShutdownParts m_parts;
    bool m_requested = false;  // a request of this countdown awaits its answer
};
