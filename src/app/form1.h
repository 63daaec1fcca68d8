// Form1: the main window, composing the panels of every subsystem.
#pragma once
#include "app/services.h"
#include "broadcast/mp3button.h"
#include "broadcast/playbackstate.h"
#include "broadcast/schedulertick.h"
#include "broadcast/todaylist.h"
#include "core/holidaycalendar.h"
#include "randommusic/musiclibrary.h"
#include "ui/commondialog.h"
#include "ui/windowdrag.h"
#include "volume/clsvolume.h"

#include <QJsonObject>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>
#include <future>
#include <memory>

class AutoShutdown;
class ClockWatch;
class FileWatch;
class FlexGrid;
class Form2;
class Form3;
class HolidayDialog;
class LibraryEditor;
class ManualControl;
class MciControl;
class PasswordDialog;
class PictureBox;
class PlaybackEngine;
class RandomPlay;
class ScheduleEditor;
class SettingsLock;
class WeekdayPanel;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    // The main bar. Each display stands in a picture box that gives it its frame.
    QWidget *Line3 = nullptr;  // the light yellow line along the top edge
    QLabel *Picture8 = nullptr;
    QLabel *Label2 = nullptr;  // date
    QLabel *Picture9 = nullptr;
    QLabel *Label1 = nullptr;   // clock
    QLabel *Label19 = nullptr;  // full text strip, in Picture1
    QWidget *Picture1 = nullptr;
    QLabel *Picture5 = nullptr;
    QLabel *Label26 = nullptr;  // status lines
    QLabel *Picture6 = nullptr;
    QLabel *Label27 = nullptr;
    QLabel *Picture7 = nullptr;
    QLabel *Label28 = nullptr;  // today's list file
    QLabel *Image7 = nullptr, *Image8 = nullptr, *Image9 = nullptr, *Image10 = nullptr;
    FlexGrid *MSFlexGrid1 = nullptr;
    QPushButton *Command1 = nullptr;   // "退出"
    QPushButton *Command20 = nullptr;  // "▃": minimises the window
    QPushButton *Command2 = nullptr;   // "▼"
    QPushButton *Command19 = nullptr;  // "停播"
    Mp3Button *Command21 = nullptr;    // "播放" / "停止", hidden until an MP3 is ready
    QPushButton *Command14 = nullptr;  // "自动关机": the shutdown settings strip
    QPushButton *Command28 = nullptr;  // "音量"
    QPushButton *Command22 = nullptr;  // "随机": the library editor
    MciControl *MMControl1 = nullptr;  // the WAV/MIDI player's own buttons, under Command21
    QLabel *ClockWarning = nullptr;    // along the bottom edge while the clock has long gone unkept

    // The about panel, shown by a click on the background, the clock or the date.
    PictureBox *Picture3 = nullptr;
    // The cover over today's list while nobody uses the program, and its pictures.
    PictureBox *Picture4 = nullptr;
    // Image1 … Image6 (n = 1 … 6), drawn each time it is shown: the animation shows them for a
    // second every half minute, and six pictures kept would hold a megabyte all day.
    QPixmap Image(int n) const;

    // The one file dialog: what one use leaves (folder, name, filter) the next one starts from.
    CommonDialog CommonDialog1;

    // The panels below the main bar.
    WeekdayPanel *Frame1 = nullptr;  // "列表文件设置"
    // The schedule editor Frame2 "播放设置", made when the window first grows to show it.
    ScheduleEditor &scheduleEditor();

    // Timers of the main window.
    Timer *Timer1 = nullptr;   // one-second scheduler tick
    Timer *Timer4 = nullptr;   // start delay of a due item
    Timer *Timer11 = nullptr;  // random music check
    Timer *Timer5 = nullptr;   // play-length counter
    Timer *Timer10 = nullptr;  // one second before an MP3 is opened
    Timer *Timer6 = nullptr;   // turns the status lines
    Timer *Timer7 = nullptr;   // brings the cover back after the idle time
    Timer *Timer8 = nullptr;   // the cover's animation, one picture a tick
    Timer *Timer9 = nullptr;   // starts the animation again every 30 seconds

    int IdleTicks = 0;  // 200 ms ticks without mouse movement while the cover is away
    int SlideStep = 0;  // the cover animation's step, 1 … 6

    // The dialogs, hidden until asked for.
    Form2 &form2() { return *m_form2; }
    Form3 &form3() { return *m_form3; }
    HolidayDialog &holidayDialog();
    // The library editor Frame5 "随机播放文件列表", over the main bar while it is open, made when
    // first opened; the libraries it edits are loaded into memory at start-up.
    LibraryEditor &libraryEditor();
    // The password over what changes the broadcast, and its dialog "设置密码".
    SettingsLock &settingsLock() { return *m_lock; }
    PasswordDialog &passwordDialog();
    // The days off and make-up days in force, read at start-up and whenever saved.
    HolidayCalendar &holidays() { return m_holidays; }
    // The shutdown settings strip Picture2, the countdown Frame4, Timer2 and Timer3.
    AutoShutdown &autoShutdown() { return *m_shutdown; }

    TodayList todayList;
    PlaybackState playback;
    MusicLibraries libraries;  // what the random music plays from, the editor's shown library
    // A music library holds a MIDI song. Random music starts a song at any moment, with no due
    // tick before it, so the MIDI synthesiser is then made at start-up with the rest.
    bool randomMusicHasMidi() const;
    SchedulerTick &tick() { return *m_tick; }
    PlaybackEngine &engine() { return *m_engine; }
    QString appDir() const { return m_services.appDir; }
    clsVolume &volume() { return m_volume; }
    // Follows the files the program reads as someone else changes them.
    FileWatch &fileWatch() { return *m_fileWatch; }
    // A command from elsewhere (tollmere --play, --stop, --status) and its answer.
    QJsonObject remoteCommand(const QJsonObject &command);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMainBar();
    void buildDecorations();
    void turnStatusLines();
    void countIdleTick();
    void nextSlide();
    void showAbout();
    void buildHousekeeping();
    void watchClock();
    int setScheduledVolume();
    void buildRandomMusic();
    void reloadLibrary(int n);
    int setGroupVolume(int slider);
    void watchSoundFiles(FlexGrid *grid, int fileColumn, QObject *parent);
    void watchFiles();
    void guardSettings();
    void startUp();
    void prepareTodayGrid();
    void exitProgram();
    void listOpenChanged(bool open);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    Services &m_services;
    AsRunLog &m_asRun;
    clsVolume m_volume;
    HolidayCalendar m_holidays;
    std::unique_ptr<Form2> m_form2;
    std::unique_ptr<Form3> m_form3;
    std::unique_ptr<HolidayDialog> m_holidayDialog;
    SettingsLock *m_lock = nullptr;
    std::unique_ptr<PasswordDialog> m_passwordDialog;
    LibraryEditor *m_libraryEditor = nullptr;
    ScheduleEditor *m_scheduleEditor = nullptr;
    AutoShutdown *m_shutdown = nullptr;
    ClockWatch *m_clockWatch = nullptr;  // none without the platform's clock status
    FileWatch *m_fileWatch = nullptr;
    std::future<void> m_librariesLoading;
    std::unique_ptr<SchedulerTick> m_tick;
    PlaybackEngine *m_engine = nullptr;
    ManualControl *m_manual = nullptr;
    RandomPlay *m_random = nullptr;

    WindowDrag m_drag{*this};
    bool m_backgroundPressed = false;   // a left button went down on the background
    QObject *m_labelPressed = nullptr;  // the clock or date label a left button went down on
};
