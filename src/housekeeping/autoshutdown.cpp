// The shutdown settings strip, the five-second check and the ten-second countdown.
#include "housekeeping/autoshutdown.h"

#include "core/recordfile.h"
#include "core/timetext.h"
#include "housekeeping/clstimecfg.h"
#include "housekeeping/housekeepingrules.h"
#include "housekeeping/logging.h"
#include "ui/named.h"

#include <QDir>
#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace housekeepingrules;

namespace {
const QString ForShutdown = QStringLiteral("因自动关机停止");
}

AutoShutdown::AutoShutdown(const ShutdownParts &parts, QWidget *window) : QObject(window), m_parts(parts) {
    buildStrip(window);
    buildCountdown(window);
    Timer2 = new Timer(*m_parts.clock, QStringLiteral("Timer2"), 5000, false, this);
    Timer3 = new Timer(*m_parts.clock, QStringLiteral("Timer3"), 1000, false, this);
    connect(Timer2, &Timer::timeout, this, &AutoShutdown::check);          // Timer2_Timer
    connect(Timer3, &Timer::timeout, this, &AutoShutdown::countdownTick);  // Timer3_Timer
    connect(m_parts.requester, &ShutdownRequester::answered, this, &AutoShutdown::answered);
}

void AutoShutdown::buildStrip(QWidget *window) {
    auto *strip = new QFrame(window);
    strip->setFrameShape(QFrame::StyledPanel);
    Picture2 = named(strip, "Picture2");
    Picture2->setAutoFillBackground(true);
    auto *row = new QHBoxLayout(Picture2);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);

    Check1 = named(new QCheckBox(QStringLiteral("自动关机"), Picture2), "Check1");
    auto *frame = new QFrame(Picture2);
    frame->setFrameShape(QFrame::StyledPanel);
    Frame3 = named(frame, "Frame3");
    // The caption above the time: side by side they would not leave the buttons their room.
    auto *inFrame = new QVBoxLayout(Frame3);
    inFrame->setContentsMargins(6, 1, 6, 2);
    inFrame->setSpacing(0);
    Label21 = named(new QLabel(QStringLiteral("关机时间"), Frame3), "Label21");
    timeEntry = new TimeEntry({"Text22", "VScroll9", "Text21", "VScroll8", "Text20", "VScroll7"},
                              {TimeEntry::Variant::MainWindow, true, true}, Frame3);
    Text22 = timeEntry->hoursText;
    Text21 = timeEntry->minutesText;
    Text20 = timeEntry->secondsText;
    VScroll9 = timeEntry->hoursSpinner;
    VScroll8 = timeEntry->minutesSpinner;
    VScroll7 = timeEntry->secondsSpinner;
    inFrame->addWidget(Label21);
    inFrame->addWidget(timeEntry);
    Command15 = named(new QPushButton(QStringLiteral("确定"), Picture2), "Command15");
    Command29 = named(new QPushButton(QStringLiteral("播放清除"), Picture2), "Command29");
    row->addWidget(Check1);
    row->addWidget(Frame3, 1);
    row->addWidget(Command15);
    row->addWidget(Command29);
    Frame3->setEnabled(false);
    Picture2->hide();

    connect(Check1, &QCheckBox::toggled, Frame3, &QWidget::setEnabled);  // Check1_Click
    connect(Command15, &QPushButton::clicked, this, &AutoShutdown::confirm);
    connect(Command29, &QPushButton::clicked, this, &AutoShutdown::markClearingRequested);
}

void AutoShutdown::buildCountdown(QWidget *window) {
    Frame4 = named(new QGroupBox(QStringLiteral("自动关机"), window), "Frame4");
    Frame4->setAutoFillBackground(true);
    auto *column = new QVBoxLayout(Frame4);
    Label23 = named(new QLabel(countdownDesignText(), Frame4), "Label23");
    Label23->setAlignment(Qt::AlignCenter);
    Label23->setWordWrap(true);
    QFont big = Label23->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    Label23->setFont(big);
    Label23->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    Command16 = named(new QPushButton(QStringLiteral("关机"), Frame4), "Command16");
    Command17 = named(new QPushButton(QStringLiteral("取消"), Frame4), "Command17");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command16);
    buttons->addSpacing(24);
    buttons->addWidget(Command17);
    buttons->addStretch();
    column->addWidget(Label23, 1);
    column->addLayout(buttons);
    Frame4->hide();

    connect(Command16, &QPushButton::clicked, this, &AutoShutdown::shutDownNow);
    connect(Command17, &QPushButton::clicked, this, &AutoShutdown::cancel);
}

QString AutoShutdown::settingsFilePath() const { return m_parts.appDir + QLatin1String(ShutdownRecord::FileName); }

void AutoShutdown::startUp() {
    readSettings(true);
    Timer2->setEnabled(true);
}

void AutoShutdown::readSettings(bool setShutdownTime) {
    QByteArray bytes;
    // A file that cannot be read (no rights, a folder or a pipe in its place) reads as a missing
    // one: off at 00:00:00. The file is left as it is until the user confirms a setting. Only
    // its one record is read, however long the file is.
    if (const Result read = readWholeFile(settingsFilePath(), &bytes, ShutdownRecord::RecordSize); !read)
        qCWarning(lcShutdown) << "cannot read" << settingsFilePath() << read.reason();
    QString damage;
    const ShutdownRecord record = ShutdownRecord::fromFile(bytes, &damage);
    if (!damage.isEmpty())
        qCWarning(lcShutdown) << settingsFilePath() << "is damaged (" << damage << "): automatic shutdown off";
    Check1->setChecked(record.Enabled);
    // The spinners' change handlers write the boxes; a spinner already at its value leaves
    // its box as it is.
    VScroll9->setValue(record.Time / 3600);
    VScroll8->setValue(record.Time / 60 % 60);
    VScroll7->setValue(record.Time % 60);
    if (setShutdownTime)
        ShutdownTime = record.Time;
}

void AutoShutdown::openStrip() {
    Picture2->show();
    Picture2->raise();
    Timer2->setEnabled(false);
    readSettings(false);
}

void AutoShutdown::confirm() {
    const std::optional<int> time = shutdownTimeFromBoxes(Text22->text(), Text21->text(), Text20->text());
    if (!time) {
        m_parts.dialogs->message(Picture2->window(), QStringLiteral("时间设置错误！"), Dialogs::Buttons::Ok,
                                 Dialogs::Icon::None);
        return;
    }
    ShutdownTime = *time;
    const Result saved = replaceFile(settingsFilePath(), ShutdownRecord{Check1->isChecked(), *time}.toRecord());
    Picture2->hide();
    Timer2->setEnabled(true);
    if (!saved) {
        // The setting is in force until the program ends; only the next start would not know it.
        m_parts.dialogs->message(Picture2->window(),
                                 QStringLiteral("自动关机设置无法保存：\n%1\n（%2）\n本次运行中设置仍然有效。")
                                     .arg(QDir::toNativeSeparators(settingsFilePath()), saved.reason()),
                                 Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    }
}

void AutoShutdown::check() {
    if (isShutdownDue(Check1->isChecked(), ShutdownTime, m_parts.clock->secondsOfDay()))
        startCountdown();
}

void AutoShutdown::startCountdown() {
    Timer3->setEnabled(true);
    Label23->setText(countdownDesignText());  // not what an earlier countdown left behind
    Frame4->show();
    Frame4->raise();
    m_parts.asRun->record(QStringLiteral("shutdown"),
                          QStringLiteral("自动关机倒计时开始 关机时间 %1").arg(timetext::shortTime(ShutdownTime)));
    {
        const AsRunLog::StopReason why(*m_parts.asRun, ForShutdown);
        m_parts.mp3->Stop();
        m_parts.mci->setCommand(QStringLiteral("stop"));
        m_parts.mci->setCommand(QStringLiteral("close"));
    }
    ShutdownCountdown = 0;
    m_requested = false;
    Timer2->setEnabled(false);
}

void AutoShutdown::countdownTick() {
    Label23->setText(countdownText(ShutdownCountdown));
    const bool last = ShutdownCountdown >= 9;
    ++ShutdownCountdown;
    if (last) {
        // One request; what follows depends on its answer, not on further ticks.
        Timer3->setEnabled(false);
        m_parts.asRun->record(QStringLiteral("shutdown"), QStringLiteral("请求关机（倒计时结束）"));
        requestPowerOff();
    }
}

void AutoShutdown::shutDownNow() {
    {
        const AsRunLog::StopReason why(*m_parts.asRun, ForShutdown);
        m_parts.mp3->Stop();
    }
    Timer3->setEnabled(false);
    m_parts.asRun->record(QStringLiteral("shutdown"), QStringLiteral("请求关机（操作员按“关机”）"));
    requestPowerOff();
}

void AutoShutdown::cancel() {
    m_parts.asRun->record(QStringLiteral("shutdown"), QStringLiteral("自动关机已取消"));
    ShutdownCountdown = 0;
    m_requested = false;
    Frame4->hide();
    Timer2->setEnabled(true);
    Timer3->setEnabled(false);
}

void AutoShutdown::requestPowerOff() {
    m_requested = true;
    m_parts.requester->requestPowerOff();
}

void AutoShutdown::answered(bool accepted, const QString &reason) {
    // An answer that arrives after "取消" belongs to a countdown that is over.
    if (!m_requested)
        return;
    m_requested = false;
    if (accepted) {
        m_parts.asRun->record(QStringLiteral("shutdown"), QStringLiteral("关机请求已被系统接受"));
        return;
    }
    m_parts.asRun->record(QStringLiteral("shutdown"), QStringLiteral("关机请求被拒绝（%1），继续广播").arg(reason));
    qCWarning(lcShutdown) << "the PC was not shut down, broadcasting goes on:" << reason;
    Timer3->setEnabled(false);
    Label23->setText(refusedText());
}
