// Form1's controls, start-up and exit.
#include "app/form1.h"

#include "app/logging.h"
#include "broadcast/manualcontrol.h"
#include "broadcast/mcicontrol.h"
#include "broadcast/mp3button.h"
#include "broadcast/playbackengine.h"
#include "editor/holidaydialog.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "housekeeping/autoshutdown.h"
#include "housekeeping/form3.h"
#include "randommusic/libraryeditor.h"
#include "randommusic/randomplay.h"
#include "randommusic/sortedlistbox.h"
#include "ui/flexgrid.h"
#include "ui/named.h"
#include "ui/slider.h"
#include "ui/soundfilewatch.h"
#include "ui/twips.h"
#include "ui/windowheight.h"
#include "volume/form2.h"
#include "volume/volumeposition.h"

#include <QCloseEvent>
#include <QEvent>
#include <QPainter>

namespace {

constexpr int FormWidthTwips = 10440;

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// The activity icons: a loudspeaker, grey when idle and green in its alternate picture.
QPixmap speakerIcon(bool active) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = active ? QColor(0, 170, 0) : QColor(140, 140, 140);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(3, 9, 5, 6);
    p.drawPolygon(QPolygon({QPoint(8, 9), QPoint(14, 4), QPoint(14, 20), QPoint(8, 15)}));
    if (active) {
        p.setPen(QPen(c, 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(12, 6, 8, 12), -60 * 16, 120 * 16);
        p.drawArc(QRect(12, 2, 12, 20), -60 * 16, 120 * 16);
    }
    return pm;
}

}  // namespace

Form1::Form1(Services &services, QWidget *parent)
    : QWidget(parent), CommonDialog1(*services.dialogs, this), m_services(services),
      m_asRun(services.asRun ? *services.asRun : AsRunLog::discard()),
      m_volume(services.mixer.get(), services.dialogs.get(), this), m_holidays(services.appDir) {
    m_volume.setAsRunLog(m_asRun);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tollmere"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedWidth(twipsToPixels(FormWidthTwips));
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
    Frame2 = new ScheduleEditor(*m_services.dialogs, CommonDialog1, m_services.appDir, *MSFlexGrid1, todayList, this);
    Frame2->setGeometry(twipsRect(120, 6240, FormWidthTwips - 240, 2880));
    connect(Frame2, &ScheduleEditor::listOpenChanged, this, &Form1::listOpenChanged);
    // A dialog window of its own, opened from the weekday panel; it reads the calendar's file
    // again each time, so a hand edit comes into force there too.
    m_holidayDialog = std::make_unique<HolidayDialog>(*m_services.clock, *m_services.dialogs, m_holidays, this);
    connect(Frame1->HolidayButton, &QPushButton::clicked, m_holidayDialog.get(), &HolidayDialog::openDialog);
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
    TickOutputs outputs{m_services.mp3.get(), m_services.beep, Timer4, Timer11, &m_asRun};
    // Today's list follows the calendar of days off and make-up days before the weekday panel.
    m_tick = std::make_unique<SchedulerTick>(
        clock, controls, outputs, todayList, playback, [this](int weekday) { return Frame1->todayPath(weekday); },
        [this](const QDate &date) { return m_holidays.follows(date); });
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
    buildRandomMusic();
    watchSoundFiles();

    connect(Command1, &QPushButton::clicked, this, &Form1::exitProgram);  // Command1_Click
    connect(Command2, &QPushButton::clicked, this, [this] { windowheight::setCentred(this, windowheight::WithLists); });

    startUp();
}

Form1::~Form1() = default;

void Form1::buildMainBar() {
    auto label = [this](const char *name, const QString &text, QRect geometry) {
        auto *l = named(new QLabel(text, this), name);
        l->setGeometry(geometry);
        return l;
    };
    auto button = [this](const char *name, const QString &caption, int left, int width) {
        auto *b = named(new QPushButton(caption, this), name);
        b->setGeometry(twipsRect(left, 2460, width, 360));
        return b;
    };

    Label2 = label("Label2", QStringLiteral("88-88-88"), twipsRect(540, 360, 1700, 1000));
    Label1 = label("Label1", QStringLiteral("88:88:88"), twipsRect(2340, 360, 3000, 1000));
    QFont clockFont = Label1->font();
    clockFont.setPointSize(26);
    clockFont.setBold(true);
    Label1->setFont(clockFont);

    const QPixmap idle = speakerIcon(false), active = speakerIcon(true);
    Image9 = label("Image9", QString(), twipsRect(540, 1560, 360, 360));
    Image10 = label("Image10", QString(), twipsRect(540, 1560, 360, 360));
    Image7 = label("Image7", QString(), twipsRect(4920, 1560, 360, 360));
    Image8 = label("Image8", QString(), twipsRect(4920, 1560, 360, 360));
    Image7->setPixmap(idle);
    Image10->setPixmap(idle);
    Image8->setPixmap(active);
    Image9->setPixmap(active);
    Image8->hide();
    Image9->hide();

    Label26 = label("Label26", QStringLiteral("Tollmere 3.0版") + QString(21, QChar(0x3000)),
                    twipsRect(900, 1500, 3960, 420));
    Label26->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    Label27 = label("Label27", QStringLiteral("校园广播定时播放") + QString(40, QChar(0x3000)),
                    twipsRect(1260, 2010, 3300, 360));
    Label27->setStyleSheet(QStringLiteral("color: rgb(0, 160, 0);"));
    // The status lines scroll through texts longer than themselves.
    for (QLabel *line : {Label26, Label27})
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    MSFlexGrid1 = named(new FlexGrid(5, this), "MSFlexGrid1");
    MSFlexGrid1->setGeometry(twipsRect(5460, 360, 4740, 2040));
    Label28 = label("Label28", QStringLiteral("列表文件："), twipsRect(5520, 2460, 3600, 360));
    // Too short for a long path by design: holding a button on it shows the whole text.
    Label28->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    Picture1 = named(new QWidget(this), "Picture1");
    Picture1->setGeometry(twipsRect(3600, 60, 6600, 300));
    Picture1->setAutoFillBackground(true);
    Label19 = named(new QLabel(Picture1), "Label19");
    Label19->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Label19->setGeometry(0, 0, Picture1->width(), Picture1->height());
    Picture1->hide();

    Command1 = button("Command1", QStringLiteral("退出"), 540, 1200);
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

void Form1::startUp() {
    m_asRun.record(QStringLiteral("程序启动 %1").arg(m_services.appDir));
    windowheight::setCentred(this, windowheight::Compact);
    m_form2->startUp();  // the mixer opened, the sliders' ranges, Volume.cfg
    m_form3->GetQc();
    prepareTodayGrid();
    Frame2->prepareGrid();
    Frame1->loadConfig();
    if (const Result loaded = m_holidays.load(); !loaded)
        qCWarning(lcApp) << "the holiday calendar cannot be read" << m_holidays.path() << loaded.reason();
    m_shutdown->startUp();  // ClsTime.Cfg; the check starts
    MSFlexGrid1->setRows(1);
    Frame5->loadAtStartUp();  // the music libraries, the last step
    Timer1->setEnabled(true);
    Timer11->setEnabled(true);
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
    Frame5 = new LibraryEditor(*m_services.dialogs, CommonDialog1, m_services.appDir, libraries, *Timer11, this);
    Frame5->setGeometry(twipsRect(30, 15, FormWidthTwips - 60, 3210));
    connect(Command22, &QPushButton::clicked, Frame5, &LibraryEditor::open);  // Command22_Click

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

int Form1::setGroupVolume(int slider) {
    const int volume = VolumeForPosition(m_form2->Slider2[slider]->value());
    m_volume.prSpeakerVolume(volume);
    m_volume.meSettle(50);  // as for a bell: the song begins at its group's volume
    return volume;
}

// Today's list, the list in the editor and the library in its editor show in red the files
// that will not play, checked when they are loaded and once a minute.
void Form1::watchSoundFiles() {
    Clock &clock = *m_services.clock;
    new SoundFileWatch(
        clock, *MSFlexGrid1->cells(), todaygrid::FileColumn,
        [grid = MSFlexGrid1](const QHash<QString, QString> &problems) {
            grid->cells()->setFileProblems(todaygrid::FileColumn, problems);
        },
        this);
    FlexGrid *editorGrid = Frame2->MSFlexGrid2;
    new SoundFileWatch(
        clock, *editorGrid->cells(), editorrules::FileColumn,
        [editorGrid](const QHash<QString, QString> &problems) {
            editorGrid->cells()->setFileProblems(editorrules::FileColumn, problems);
        },
        this);
    SortedListBox *songs = Frame5->List2;
    new SoundFileWatch(
        clock, *songs->model(), 0,
        [songs](const QHash<QString, QString> &problems) { songs->showFileProblems(problems); }, this);
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
        Label28->setText(QStringLiteral("列表文件：") + todayList.path);
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Label28) {
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
    if (!Command1->isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    exitProgram();
}

void Form1::exitProgram() {
    m_asRun.record(QStringLiteral("程序退出"));
    const AsRunLog::StopReason why(m_asRun, QStringLiteral("因程序退出停止"));
    m_services.mci->setCommand(QStringLiteral("Close"));
    m_services.quit();
}
