// Form1's controls, start-up and exit.
#include "app/form1.h"

#include "app/logging.h"
#include "app/remotecommand.h"
#include "broadcast/filetype.h"
#include "broadcast/manualcontrol.h"
#include "broadcast/mcicontrol.h"
#include "broadcast/mp3button.h"
#include "broadcast/playbackengine.h"
#include "broadcast/statustexts.h"
#include "core/filewatch.h"
#include "core/soundfilecheck.h"
#include "editor/holidaydialog.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "housekeeping/autoshutdown.h"
#include "housekeeping/clockwatch.h"
#include "housekeeping/form3.h"
#include "housekeeping/housekeepingrules.h"
#include "lock/passworddialog.h"
#include "lock/settingslock.h"
#include "randommusic/libraryeditor.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/libraryloading.h"
#include "randommusic/musicrules.h"
#include "randommusic/randomplay.h"
#include "randommusic/sortedlistbox.h"
#include "ui/fitlabel.h"
#include "ui/flexgrid.h"
#include "ui/marquee.h"
#include "ui/named.h"
#include "ui/picturebox.h"
#include "ui/pictures.h"
#include "ui/segmentlabel.h"
#include "ui/slider.h"
#include "ui/soundfilewatch.h"
#include "ui/statusline.h"
#include "ui/twips.h"
#include "ui/windowheight.h"
#include "volume/form2.h"
#include "volume/volumeposition.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int FormWidthTwips = 10440;
constexpr int ScheduleEditorTop = 6240;

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// Colours of a label's text and of the fill it stands on.
void setColors(QWidget *w, const QColor &text, const QColor &fill) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Window, fill);
    w->setPalette(p);
}

QFont pixelFont(const QFont &base, int pixels, bool bold) {
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

}  // namespace

Form1::Form1(Services &services, QWidget *parent)
    : QWidget(parent), CommonDialog1(*services.dialogs, this), m_services(services),
      m_asRun(services.asRun ? *services.asRun : AsRunLog::discard()),
      m_volume(services.mixer.get(), services.dialogs.get(), this), m_holidays(services.appDir) {
    m_volume.setAsRunLog(m_asRun);
    // The music libraries are read on a thread of their own while the window is built: three
    // song lists of up to 1001 Chinese names are most of start-up's file reading. Nothing looks
    // at them before start-up's last step takes them.
    m_librariesLoading =
        std::async(std::launch::async, [this] { libraryloading::loadAll(m_services.appDir, libraries); });
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tollmere"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedWidth(twipsToPixels(FormWidthTwips));
    setAttribute(Qt::WA_OpaquePaintEvent);  // the background picture covers every pixel
    setMouseTracking(true);                 // a mouse moving over the background is someone there
    buildMainBar();

    // A window of its own, not a child: it is shown while the main window is hidden.
    m_form2 = std::make_unique<Form2>(*m_services.clock, *m_services.dialogs, m_services.appDir, m_volume);
    connect(Command28, &QPushButton::clicked, this, [this] {
        hide();
        m_form2->show();
    });
    connect(m_form2.get(), &Form2::closed, this, &QWidget::show);
    connect(m_form2.get(), &Form2::backgroundMouseMoved, this, [this] { IdleTicks = 0; });

    Frame1 = new WeekdayPanel(*m_services.dialogs, CommonDialog1, m_services.appDir, this);
    Frame1->setGeometry(twipsRect(120, 3300, FormWidthTwips - 240, 2850));
    // A dialog window of its own, opened from the weekday panel; it reads the calendar's file
    // again each time, so a hand edit comes into force there too.
    connect(Frame1->HolidayButton, &QPushButton::clicked, this, [this] { holidayDialog().openDialog(); });
    // Holding a button on the list-file label shows its full text in the strip at the top.
    Label28->installEventFilter(this);

    Clock &clock = *m_services.clock;
    Timer1 = new Timer(clock, QStringLiteral("Timer1"), 1000, false, this);
    // The clock shows each second as it begins, and the due scan sees each second once.
    Timer1->setAlignedToSecond(true);
    Timer4 = new Timer(clock, QStringLiteral("Timer4"), 5000, false, this);
    Timer11 = new Timer(clock, QStringLiteral("Timer11"), 6000, false, this);
    Timer5 = new Timer(clock, QStringLiteral("Timer5"), 1000, false, this);
    Timer10 = new Timer(clock, QStringLiteral("Timer10"), 1000, false, this);

    TickControls controls{Label1, Label2, Label26, Label27, Label28, Image7, Image8, Image9, Image10, MSFlexGrid1};
    // The synthesiser is made in the five seconds before a MIDI item plays, not at start-up:
    // a day of WAV and MP3 bells never holds its soundfont in memory.
    auto itemDue = [this](const QString &file) {
        if (isMidiType(file) && m_services.prepareMidi)
            m_services.prepareMidi();
    };
    TickOutputs outputs{m_services.mp3.get(), m_services.beep, Timer4, Timer11, &m_asRun, itemDue};
    // Today's list follows the calendar of days off and make-up days before the weekday panel.
    m_tick = std::make_unique<SchedulerTick>(
        clock, controls, outputs, todayList, playback, [this](int weekday) { return Frame1->todayPath(weekday); },
        [this](const QDate &date) { return m_holidays.follows(date); });
    m_tick->setSpecialDays([this](const QDate &date) { return m_holidays.specialDay(date); });
    connect(Timer1, &Timer::timeout, this, [this] { m_tick->tick(); });  // Timer1_Timer

    EngineParts engine;
    engine.mci = m_services.mci.get();
    engine.mp3 = m_services.mp3.get();
    engine.Command21 = Command21;
    engine.Label27 = Label27;
    engine.Timer4 = Timer4;
    engine.Timer5 = Timer5;
    engine.Timer10 = Timer10;
    engine.Timer11 = Timer11;
    engine.setScheduledVolume = [this] { return setScheduledVolume(); };
    engine.asRun = &m_asRun;
    m_engine = new PlaybackEngine(engine, playback, todayList, this);

    ManualParts manual;
    manual.MSFlexGrid1 = MSFlexGrid1;
    manual.Label19 = Label19;
    manual.Picture1 = Picture1;
    manual.Label26 = Label26;
    manual.Command19 = Command19;
    manual.Command21 = Command21;
    manual.mci = m_services.mci.get();
    manual.mp3 = m_services.mp3.get();
    manual.Timer5 = Timer5;
    manual.resetIdle = [this] { IdleTicks = 0; };
    manual.asRun = &m_asRun;
    m_manual = new ManualControl(manual, playback, todayList, this);

    buildHousekeeping();
    watchClock();
    buildRandomMusic();
    watchSoundFiles(MSFlexGrid1, todaygrid::FileColumn, this);
    buildDecorations();
    guardSettings();

    connect(Command1, &QPushButton::clicked, this, &Form1::exitProgram);  // Command1_Click
    connect(Command2, &QPushButton::clicked, this, [this] { windowheight::setCentred(this, windowheight::WithLists); });

    startUp();
}

Form1::~Form1() = default;

bool Form1::randomMusicHasMidi() const {
    for (const MusicLibrary &library : libraries.library)
        for (const QString &song : library.songs())
            if (isMidiType(song))
                return true;
    return false;
}

// Built when first opened: its calendar is the costliest widget of the program to make, and
// most days nobody opens it.
HolidayDialog &Form1::holidayDialog() {
    if (!m_holidayDialog)
        m_holidayDialog =
            std::make_unique<HolidayDialog>(*m_services.clock, *m_services.dialogs, CommonDialog1, m_holidays, this);
    return *m_holidayDialog;
}

PasswordDialog &Form1::passwordDialog() {
    if (!m_passwordDialog)
        m_passwordDialog = std::make_unique<PasswordDialog>(*m_lock, *m_services.dialogs, this);
    return *m_passwordDialog;
}

// Below the weekday panel, seen only at the window's full height: most days nobody opens it.
ScheduleEditor &Form1::scheduleEditor() {
    if (m_scheduleEditor)
        return *m_scheduleEditor;
    m_scheduleEditor =
        new ScheduleEditor(*m_services.dialogs, CommonDialog1, m_services.appDir, *MSFlexGrid1, todayList, this);
    ScheduleEditor *editor = m_scheduleEditor;
    editor->setGeometry(twipsRect(120, ScheduleEditorTop, FormWidthTwips - 240, 2880));
    connect(editor, &ScheduleEditor::listOpenChanged, this, &Form1::listOpenChanged);
    watchSoundFiles(editor->MSFlexGrid2, editorrules::FileColumn, editor);
    editor->prepareGrid();
    editor->show();  // a child made after the window was shown stays hidden until told
    return *editor;
}

void Form1::resizeEvent(QResizeEvent *event) {
    if (!m_scheduleEditor && height() > twipsToPixels(ScheduleEditorTop))
        scheduleEditor();
    QWidget::resizeEvent(event);
}

// Made when first opened: its hundred controls and a list of up to 1001 songs are most of
// what start-up would otherwise build for a panel few open on a given day.
LibraryEditor &Form1::libraryEditor() {
    if (m_libraryEditor)
        return *m_libraryEditor;
    m_libraryEditor =
        new LibraryEditor(*m_services.dialogs, CommonDialog1, m_services.appDir, libraries, *Timer11, this);
    LibraryEditor *editor = m_libraryEditor;
    // Larger than its designed 9795 × 2955 twips at 300, 180: in the interface font its four
    // groups of time fields and day boxes need the window's whole width and top part.
    editor->setGeometry(twipsRect(30, 15, FormWidthTwips - 60, 3210));
    // Over the about panel, under the shutdown strip and the countdown; raised while the
    // countdown runs, it goes under it again.
    editor->stackUnder(m_shutdown->Picture2);
    editor->installEventFilter(this);
    SortedListBox *songs = editor->List2;
    new SoundFileWatch(
        *m_services.clock, *songs->model(), 0,
        [songs](const QHash<QString, QString> &problems) { songs->showFileProblems(problems); }, editor);
    editor->showAsLoaded();
    return *editor;
}

// What changes the broadcast asks for the password, where one is set: the exit, the list
// panels (and with them the editor, the weekday lists, the calendar and the password itself),
// the library editor, the volumes and the shutdown strip with the mark clearing behind it.
// What plays, and the manual controls, never ask.
void Form1::guardSettings() {
    m_lock = new SettingsLock(*m_services.clock, *m_services.dialogs, m_services.appDir, this);
    for (QAbstractButton *button :
         {static_cast<QAbstractButton *>(Command1), static_cast<QAbstractButton *>(Command2),
          static_cast<QAbstractButton *>(Command14), static_cast<QAbstractButton *>(Command22),
          static_cast<QAbstractButton *>(Command28)})
        m_lock->guard(button);
    connect(Frame1->LockButton, &QPushButton::clicked, this, [this] { passwordDialog().openDialog(); });
    // Closing the panels closes the lock again.
    connect(Frame1->Command3, &QPushButton::clicked, m_lock, &SettingsLock::lock);
    connect(m_form2.get(), &Form2::closed, m_lock, &SettingsLock::lock);
    // Five idle minutes: the panels and dialogs go too, so that what they change asks again. A
    // list open in the editor stays, as its own buttons keep the window open, and so does a
    // dialog holding unsaved changes, for its operator to decide on.
    connect(m_lock, &SettingsLock::lockedByIdle, this, [this] {
        if (Command2->isEnabled())
            windowheight::setCentred(this, windowheight::Compact);
        if (m_libraryEditor && m_libraryEditor->isVisible())
            m_libraryEditor->returnToMain();
        auto closeUnchanged = [](QWidget *dialog, QPushButton *save, QPushButton *close) {
            if (dialog->isVisible() && !save->isEnabled())
                close->click();
        };
        closeUnchanged(m_form2.get(), m_form2->Command11, m_form2->Command1);
        closeUnchanged(m_form3.get(), m_form3->Command1, m_form3->Command2);
        if (m_holidayDialog)
            closeUnchanged(m_holidayDialog.get(), m_holidayDialog->saveButton, m_holidayDialog->closeButton);
        if (m_passwordDialog)
            m_passwordDialog->hide();
    });
}

void Form1::buildMainBar() {
    auto label = [](const char *name, const QString &text, QWidget *parent) {
        return named(new QLabel(text, parent), name);
    };
    auto button = [this](const char *name, const QString &caption, int left, int width) {
        auto *b = named(new QPushButton(caption, this), name);
        b->setGeometry(twipsRect(left, 2460, width, 360));
        return b;
    };
    // A picture box framing a display; the display's label lies inside the frame and fills
    // it with its own colour, so a change of its text repaints only the label.
    auto holder = [this](const char *name, const QRect &geometry, const QImage &frame) {
        auto *box = named(new QLabel(this), name);
        box->setGeometry(geometry);
        box->setPixmap(QPixmap::fromImage(frame));
        return box;
    };
    auto fill = [](QLabel *display, int margin) {
        display->setGeometry(display->parentWidget()->rect().adjusted(margin, margin, -margin, -margin));
        display->setAutoFillBackground(true);
    };

    Line3 = named(new QWidget(this), "Line3");
    Line3->setGeometry(0, 0, twipsToPixels(FormWidthTwips), 2);
    setColors(Line3, Qt::black, pictures::TopLine);
    Line3->setAutoFillBackground(true);
    Line3->setAttribute(Qt::WA_TransparentForMouseEvents);  // part of the background

    const QRect dateRect = twipsRect(540, 360, 1680, 1020);
    Picture8 = holder("Picture8", dateRect, pictures::card(dateRect.size()));
    Label2 = named(new FitLabel(QStringLiteral("88-88-88"), Picture8), "Label2");  // a make-up day's note is long
    fill(Label2, 3);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(pixelFont(font(), 16, true));
    setColors(Label2, QColor(0, 128, 0), pictures::Card);

    const QRect clockRect = twipsRect(2340, 360, 3000, 1020);
    Picture9 = holder("Picture9", clockRect, pictures::clockFrame(clockRect.size()));
    auto *clock = new SegmentLabel(QStringLiteral("88:88:88"), Picture9);
    clock->setColors(pictures::Amber, pictures::ClockGhost, pictures::ClockFace);
    Label1 = named(clock, "Label1");
    fill(Label1, 4);

    const QPixmap idle = QPixmap::fromImage(pictures::activity(false));
    const QPixmap sounding = QPixmap::fromImage(pictures::activity(true));
    auto icon = [this](const char *name, int left, const QPixmap &picture) {
        auto *l = named(new QLabel(this), name);
        l->setGeometry(twipsRect(left, 1560, 360, 360));
        l->setPixmap(picture);
        return l;
    };
    Image9 = icon("Image9", 540, sounding);
    Image10 = icon("Image10", 540, idle);
    Image7 = icon("Image7", 4920, idle);
    Image8 = icon("Image8", 4920, sounding);
    Image8->hide();
    Image9->hide();

    const QRect line1 = twipsRect(900, 1500, 3960, 420), line2 = twipsRect(1260, 2010, 3300, 360);
    Picture5 = holder("Picture5", line1, pictures::card(line1.size()));
    Label26 =
        named(new StatusLine(QStringLiteral("Chimewood 3.0版") + QString(21, QChar(0x3000)), Picture5), "Label26");
    Label26->setFont(pixelFont(font(), 15, true));
    setColors(Label26, QColor(215, 0, 0), pictures::Card);
    Picture6 = holder("Picture6", line2, pictures::card(line2.size()));
    Label27 =
        named(new StatusLine(QStringLiteral("2026年12月发布　Tollmere 开发组为校园广播编写　谨献给每天按时打铃的人") +
                                 QString(40, QChar(0x3000)),
                             Picture6),
              "Label27");
    Label27->setFont(pixelFont(font(), 13, true));
    setColors(Label27, QColor(0, 128, 0), pictures::Card);
    // The status lines scroll through texts longer than themselves.
    for (QLabel *line : {Label26, Label27}) {
        fill(line, 3);
        line->setIndent(2);
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }

    MSFlexGrid1 = named(new FlexGrid(5, this), "MSFlexGrid1");
    MSFlexGrid1->setGeometry(twipsRect(5460, 360, 4740, 2040));
    const QRect listFile = twipsRect(5520, 2460, 3600, 360);
    Picture7 = holder("Picture7", listFile, pictures::inset(listFile.size()));
    Label28 = label("Label28", QStringLiteral("列表文件："), Picture7);
    fill(Label28, 2);
    Label28->setIndent(3);
    setColors(Label28, pictures::FaceText, pictures::BandDeep);
    // Too short for a long path by design: holding a button on it shows the whole text.
    Label28->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    // Over today's list and the list file's name below it, until someone clicks it.
    Picture4 = named(new PictureBox(this), "Picture4");
    Picture4->setGeometry(twipsRect(5460, 360, 4740, 2460));
    setColors(Picture4, pictures::Band, pictures::CoverSky);
    Picture4->setPixmap(Image(6));

    Picture1 = named(new QWidget(this), "Picture1");
    Picture1->setGeometry(twipsRect(3600, 60, 6600, 300));
    setColors(Picture1, Qt::black, QColor(255, 250, 215));
    Picture1->setAutoFillBackground(true);
    Label19 = named(new QLabel(Picture1), "Label19");
    Label19->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Label19->setGeometry(0, 0, Picture1->width(), Picture1->height());
    Label19->setIndent(4);
    Picture1->hide();

    Command1 = button("Command1", QStringLiteral("退出"), 540, 1200);
    Command20 = button("Command20", QStringLiteral("▃"), 1800, 420);
    Command2 = button("Command2", QStringLiteral("▼"), 2280, 420);
    Command14 = button("Command14", QStringLiteral("自动关机"), 2760, 1200);
    MMControl1 = new MciControl(*m_services.mci, this);
    MMControl1->setGeometry(twipsRect(4080, 2460, 1380, 360));
    Command21 = named(new Mp3Button(this), "Command21");
    Command21->setGeometry(MMControl1->geometry());
    Command21->hide();
    Command21->raise();  // lies over the player's own buttons
    Command19 = button("Command19", QStringLiteral("停播"), 9240, 900);
    Command28 = named(new QPushButton(QStringLiteral("音量"), this), "Command28");
    Command28->setGeometry(twipsRect(540, 2040, 660, 360));
    Command22 = named(new QPushButton(QStringLiteral("随机"), this), "Command22");
    Command22->setGeometry(twipsRect(4620, 2040, 660, 360));
}

// The shutdown strip and countdown over the main bar, and the mark clearing dialog.
void Form1::buildHousekeeping() {
    ShutdownParts parts;
    parts.clock = m_services.clock.get();
    parts.dialogs = m_services.dialogs.get();
    parts.appDir = m_services.appDir;
    parts.mci = m_services.mci.get();
    parts.mp3 = m_services.mp3.get();
    parts.requester = m_services.shutdown.get();
    parts.asRun = &m_asRun;
    m_shutdown = new AutoShutdown(parts, this);
    // The strip covers the button row from Command14 to the list-file label, leaving
    // Command19 free; the countdown lies over the upper middle.
    m_shutdown->Picture2->setGeometry(twipsRect(2760, 2400, 6435, 780));
    m_shutdown->Frame4->setGeometry(twipsRect(2640, 480, 4755, 1935));
    connect(Command14, &QPushButton::clicked, m_shutdown, &AutoShutdown::openStrip);

    // A dialog window of its own over the main window; hiding it keeps it and its timer.
    m_form3 = std::make_unique<Form3>(*m_services.clock, *m_services.dialogs, m_services.appDir, *MSFlexGrid1, this);
    m_form3->setAsRunLog(m_asRun);
    connect(m_shutdown, &AutoShutdown::markClearingRequested, this, [this] {
        m_form3->show();
        m_form3->raise();
        m_form3->activateWindow();
    });
}

// The clock's state in the as-run log, and a warning along the bottom edge of the main bar
// while the clock has gone unkept for days: bells of several PCs then drift apart.
void Form1::watchClock() {
    ClockWarning = named(new QLabel(this), "ClockWarning");
    ClockWarning->setGeometry(twipsRect(120, 2895, 6150, 300));
    ClockWarning->setFont(pixelFont(font(), 12, true));
    setColors(ClockWarning, pictures::Amber, pictures::Band);
    ClockWarning->hide();
    if (!m_services.clockStatus)
        return;
    m_clockWatch = new ClockWatch(*m_services.clock, *m_services.clockStatus, m_asRun,
                                  m_services.appDir + QStringLiteral("logs/clock-unsynchronised-since.txt"), this);
    connect(m_clockWatch, &ClockWatch::warningChanged, this, [this](const QString &text) {
        ClockWarning->setText(text);
        ClockWarning->setVisible(!text.isEmpty());
    });
}

// Carried out by the engine calls the operator's buttons make: a drill alarm from elsewhere
// plays as a file prepared and started by hand would, at the scheduled volume.
QJsonObject Form1::remoteCommand(const QJsonObject &command) {
    const QString what = command["command"].toString();
    if (what == "play") {
        const QString file = command["file"].toString();
        if (const QString problem = soundfilecheck::problem(file); !problem.isEmpty())
            return {{"ok", false}, {"message", QStringLiteral("无法播放 %1：%2").arg(file, problem)}};
        Label26->setText(statustexts::playingFile(file));
        m_engine->playNow(file, asrun::Start::Remote);
        return {{"ok", true}, {"message", QStringLiteral("开始播放 ") + file}};
    }
    if (what == "stop") {
        const bool playing = m_engine->stopAll(asrun::byRemoteCommand());
        return {{"ok", true}, {"message", playing ? QStringLiteral("已停止播放") : QStringLiteral("没有在播放")}};
    }
    if (what == "status") {
        const std::optional<bool> synced = m_clockWatch ? m_clockWatch->synchronised() : std::nullopt;
        return {{"ok", true},
                {"status", remotecommand::status(todayList, *MSFlexGrid1, playback, m_services.clock->now(), synced)}};
    }
    return {{"ok", false}, {"message", QStringLiteral("无法理解的命令")}};
}

void Form1::startUp() {
    m_asRun.record(QStringLiteral("startup"), QStringLiteral("程序启动 %1").arg(m_services.appDir));
    // A PC that falls asleep misses every bell after it: held off while the program runs.
    if (SleepGuard *guard = m_services.sleepGuard.get()) {
        connect(guard, &SleepGuard::held, this, [this](bool ok, const QString &reason) {
            if (!ok)
                m_asRun.record(QStringLiteral("sleep"),
                               QStringLiteral("无法阻止电脑自动休眠（%1），休眠期间的铃声会错过").arg(reason));
        });
        connect(guard, &SleepGuard::woke, this,
                [this](qint64 ms) { m_asRun.record(QStringLiteral("sleep"), housekeepingrules::wokeText(ms)); });
        guard->hold();
    }
    if (m_clockWatch)
        m_clockWatch->start();
    windowheight::setCentred(this, windowheight::Compact);
    m_form2->startUp();  // the mixer opened, the sliders' ranges, Volume.cfg
    m_form3->GetQc();
    prepareTodayGrid();
    Frame1->loadConfig();
    if (const Result loaded = m_holidays.load(); !loaded)
        qCWarning(lcApp) << "the holiday calendar cannot be read" << m_holidays.path() << loaded.reason();
    m_shutdown->startUp();  // ClsTime.Cfg; the check starts
    MSFlexGrid1->setRows(1);
    m_librariesLoading.get();  // the music libraries, the last step
    watchFiles();
    Timer1->setEnabled(true);
    Timer11->setEnabled(true);
    for (Timer *t : {Timer6, Timer7, Timer8, Timer9})
        t->setEnabled(true);
}

// The about panel, the cover and their timers, the status lines' timer, and the stacking of
// the panels that lie over the main bar.
void Form1::buildDecorations() {
    connect(Command20, &QPushButton::clicked, this, &QWidget::showMinimized);  // Command20_Click

    Picture3 = named(new PictureBox(this), "Picture3");
    Picture3->setGeometry(twipsRect(2760, 120, 4755, 3105));
    setColors(Picture3, pictures::FaceText, pictures::Band);
    Picture3->hide();
    connect(Picture3, &PictureBox::Click, Picture3, &QWidget::hide);             // Picture3_Click
    connect(Picture3, &PictureBox::MouseMove, this, [this] { IdleTicks = 0; });  // Picture3_MouseMove
    connect(Picture4, &PictureBox::Click, Picture4, &QWidget::hide);             // Picture4_Click
    Label1->installEventFilter(this);
    Label2->installEventFilter(this);

    Clock &clock = *m_services.clock;
    Timer6 = new Timer(clock, QStringLiteral("Timer6"), 200, false, this);
    Timer7 = new Timer(clock, QStringLiteral("Timer7"), 200, false, this);
    Timer8 = new Timer(clock, QStringLiteral("Timer8"), 200, false, this);
    Timer9 = new Timer(clock, QStringLiteral("Timer9"), 30000, false, this);
    connect(Timer6, &Timer::timeout, this, &Form1::turnStatusLines);               // Timer6_Timer
    connect(Timer7, &Timer::timeout, this, &Form1::countIdleTick);                 // Timer7_Timer
    connect(Timer8, &Timer::timeout, this, &Form1::nextSlide);                     // Timer8_Timer
    connect(Timer9, &Timer::timeout, this, [this] { Timer8->setEnabled(true); });  // Timer9_Timer

    // From the bottom up: the cover over today's list; the full-text strip; the about panel;
    // (the library editor, once made); the shutdown strip; the countdown, which nothing may hide.
    for (QWidget *w : {static_cast<QWidget *>(Picture4), Picture1, static_cast<QWidget *>(Picture3),
                       static_cast<QWidget *>(m_shutdown->Picture2), static_cast<QWidget *>(m_shutdown->Frame4)})
        w->raise();
    // A panel raised while the countdown runs goes under it again.
    for (QWidget *w : {static_cast<QWidget *>(Picture3), static_cast<QWidget *>(m_shutdown->Picture2)})
        w->installEventFilter(this);
}

QPixmap Form1::Image(int n) const { return QPixmap::fromImage(pictures::slide(std::clamp(n, 1, 6))); }

void Form1::turnStatusLines() {
    for (QLabel *line : {Label27, Label26}) {
        const QString turned = marquee::turnedLeft(line->text());
        if (turned != line->text())
            line->setText(turned);
    }
}

void Form1::countIdleTick() {
    if (!Picture4->isHidden())
        return;  // while the cover is shown the count stands still
    ++IdleTicks;
    if (IdleTicks > 100)
        Picture4->show();
}

void Form1::nextSlide() {
    ++SlideStep;
    if (SlideStep > 6) {
        SlideStep = 1;
        Timer8->setEnabled(false);
    }
    // Step 1 shows the picture at rest, 2 … 6 the ringing.
    Picture4->setPixmap(Image(SlideStep == 1 ? 6 : SlideStep - 1));
}

void Form1::showAbout() {
    if (Picture3->pixmap().isNull())  // drawn when first asked for
        Picture3->setPixmap(QPixmap::fromImage(pictures::about(Picture3->size())));
    Picture3->show();
    Picture3->raise();
}

void Form1::paintEvent(QPaintEvent *event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    pictures::drawBackground(p);
}

void Form1::mousePressEvent(QMouseEvent *event) {
    // Presses a control let through are not the background's.
    if (childAt(event->position().toPoint())) {
        event->ignore();
        return;
    }
    m_drag.press(*event);
    m_backgroundPressed = event->button() == Qt::LeftButton;
    event->accept();
}

void Form1::mouseMoveEvent(QMouseEvent *event) {
    if (m_drag.isDragging() || !childAt(event->position().toPoint()))
        IdleTicks = 0;
    m_drag.move(*event);
    event->accept();
}

void Form1::mouseReleaseEvent(QMouseEvent *event) {
    const bool dragged = m_drag.release(*event);
    // A click on the background shows the about panel; a drag only moves the window.
    if (m_backgroundPressed && !dragged && event->button() == Qt::LeftButton)
        showAbout();
    m_backgroundPressed = false;
    event->accept();
}

int Form1::setScheduledVolume() {
    const int volume = VolumeForPosition(m_form2->Slider1->value());
    m_volume.prSpeakerVolume(volume);
    // The mixer sends values from a thread of its own; a bell must not start at the volume
    // before. A card that does not answer in time delays the bell no longer than this.
    m_volume.meSettle(50);
    return volume;
}

// The random music: its libraries' editor over the main bar, and the six-second check.
void Form1::buildRandomMusic() {
    connect(Command22, &QPushButton::clicked, this, [this] { libraryEditor().open(); });  // Command22_Click

    RandomPlayParts parts;
    parts.clock = m_services.clock.get();
    parts.engine = m_engine;
    parts.Label26 = Label26;
    parts.Timer4 = Timer4;
    parts.Timer5 = Timer5;
    parts.Timer11 = Timer11;
    parts.setGroupVolume = [this](int slider) { return setGroupVolume(slider); };
    m_random = new RandomPlay(parts, libraries, playback, this);
}

// Library n's files changed by someone else: into the editor where it has been made, as its tab
// would read them, else into memory alone.
void Form1::reloadLibrary(int n) {
    if (m_libraryEditor)
        m_libraryEditor->reloadLibrary(n);
    else
        libraryloading::load(m_services.appDir, n, libraries.library[std::size_t(n)]);
}

int Form1::setGroupVolume(int slider) {
    const int volume = VolumeForPosition(m_form2->Slider2[slider]->value());
    m_volume.prSpeakerVolume(volume);
    m_volume.meSettle(50);  // as for a bell: the song begins at its group's volume
    return volume;
}

// Today's list, the list in the editor and the library in its editor show in red the files
// that will not play, checked when they are loaded and once a minute.
void Form1::watchSoundFiles(FlexGrid *grid, int fileColumn, QObject *parent) {
    new SoundFileWatch(
        *m_services.clock, *grid->cells(), fileColumn,
        [grid, fileColumn](const QHash<QString, QString> &problems) {
            grid->cells()->setFileProblems(fileColumn, problems);
        },
        parent);
}

// Files kept in step by a synchronised folder or a share change under the running program: each
// is taken as if the operator had made the same change in its dialog, and one whose panel is
// open waits, its operator told, so no unsaved work is overwritten.
void Form1::watchFiles() {
    m_fileWatch = new FileWatch(*m_services.clock, m_asRun, this);
    const QString &dir = m_services.appDir;
    FileWatch &w = *m_fileWatch;
    w.add({QStringLiteral("今日列表"), [this] { return todayList.path; }, [this] { m_tick->reloadTodayList(); },
           [] { return false; }, [this] { return todayList.loaded; }});
    auto editedList = [this] { return m_scheduleEditor ? m_scheduleEditor->Text19->text() : QString(); };
    w.add({QStringLiteral("编辑中的列表文件"), editedList, [this, editedList] {
               m_services.dialogs->notify(this,
                                          QStringLiteral("正在编辑的列表文件已被别处修改：\n%1\n"
                                                         "编辑器中的内容保持不变；保存会以编辑器中的内容覆盖它。")
                                              .arg(editedList()),
                                          Dialogs::Icon::Information);
           }});
    w.add({QStringLiteral("列表文件设置"),
           [lstCfg = dir + QLatin1String(WeekdayListConfig::FileName)] { return lstCfg; },
           [this] { Frame1->loadConfig(); },
           // Unsaved changes, also while the panel is disabled for an open list.
           [this] { return Frame1->Command11->isEnabledTo(Frame1); }});
    w.add({QStringLiteral("放假调休日历"), [this] { return m_holidays.path(); },
           [this] {
               if (const Result loaded = m_holidays.load(); !loaded)
                   qCWarning(lcApp) << "the holiday calendar cannot be read" << m_holidays.path() << loaded.reason();
           },
           [this] { return m_holidayDialog && m_holidayDialog->isVisible(); }});
    w.add({QStringLiteral("音量设置"), [this] { return m_form2->volumeFilePath(); }, [this] { m_form2->LoadVolume(); },
           [this] { return m_form2->isVisible(); }});
    w.add({QStringLiteral("自动关机设置"), [this] { return m_shutdown->settingsFilePath(); },
           [this] { m_shutdown->reloadSettings(); }, [this] { return m_shutdown->Picture2->isVisible(); }});
    w.add({QStringLiteral("播放清除设置"), [this] { return m_form3->settingsFilePath(); }, [this] { m_form3->GetQc(); },
           [this] { return m_form3->isVisible(); }});
    for (int n = 0; n < MusicLibraries::Count; ++n) {
        for (const QString &path : {libraryfiles::groupSettingsPath(dir, n), libraryfiles::songListPath(dir, n)})
            w.add({musicrules::libraryCaption(n), [path] { return path; }, [this, n] { reloadLibrary(n); },
                   [this] { return m_libraryEditor && m_libraryEditor->isVisible(); }});
    }
    connect(&w, &FileWatch::deferred, this, [this](const QString &name, const QString &path) {
        // Over the panel being edited where it is a window of its own (the volume dialog).
        QWidget *active = QApplication::activeWindow();
        m_services.dialogs->notify(active ? active : this,
                                   QStringLiteral("%1已被别处修改：\n%2\n"
                                                  "正在编辑的内容保持不变；关闭面板后采用磁盘上的内容，"
                                                  "在面板中保存则以您的修改为准。")
                                       .arg(name, path),
                                   Dialogs::Icon::Information);
    });
    w.start();
}

void Form1::prepareTodayGrid() {
    FlexGrid &g = *MSFlexGrid1;
    const double w = g.WidthTwips();
    g.setColWidth(0, int(std::lround(w / 20)));
    for (int c = 1; c <= 3; ++c)
        g.setColWidth(c, int(std::lround(w * 5 / 27)));
    g.setColWidth(4, int(std::lround(w * (1 - 1.0 / 20 - 15.0 / 27) - 100)));
    const QStringList headers = {QString(), QStringLiteral("开播时间"), QStringLiteral("项目名称"),
                                 QStringLiteral("播放时间"), QStringLiteral("播放文件")};
    for (int c = 0; c < headers.size(); ++c)
        g.setTextMatrix(0, c, headers[c]);
}

void Form1::listOpenChanged(bool open) {
    Command1->setEnabled(!open);
    Command2->setEnabled(!open);
    Frame1->setEnabled(!open);
    if (!open)
        m_tick->showListLabel();
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::ZOrderChange && !m_shutdown->Frame4->isHidden() && watched != m_shutdown->Frame4) {
        m_shutdown->Frame4->raise();
    } else if (watched == Label1 || watched == Label2) {
        // A click on the clock or the date shows the about panel.
        const bool press = event->type() == QEvent::MouseButtonPress;
        const bool release = event->type() == QEvent::MouseButtonRelease;
        const auto *mouse = press || release ? static_cast<QMouseEvent *>(event) : nullptr;
        if (press && mouse->button() == Qt::LeftButton) {
            m_labelPressed = watched;
        } else if (release && mouse->button() == Qt::LeftButton) {
            const bool click = m_labelPressed == watched &&
                               static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint());
            m_labelPressed = nullptr;
            if (click)
                showAbout();
        }
    } else if (watched == Label28) {
        if (event->type() == QEvent::MouseButtonPress) {
            Label19->setText(Label28->text());
            Picture1->show();
            return true;  // the label keeps the mouse until the button is released
        } else if (event->type() == QEvent::MouseButtonRelease) {
            Picture1->hide();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent *event) {
    // Alt+F4 or a window manager's close button does what "退出" does, and, like it, nothing
    // while a list is open in the editor.
    if (!Command1->isEnabled() || !m_lock->unlock(this)) {  // and only with the password, where one is set
        event->ignore();
        return;
    }
    event->accept();
    exitProgram();
}

void Form1::exitProgram() {
    m_asRun.record(QStringLiteral("exit"), QStringLiteral("程序退出"));
    const AsRunLog::StopReason why(m_asRun, QStringLiteral("因程序退出停止"));
    m_services.mci->setCommand(QStringLiteral("Close"));
    m_services.quit();
}
