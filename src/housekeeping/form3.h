// Form3 "播放清除设置": the clearing time of the played marks, and the timer that clears them.
#pragma once
#include "core/asrunlog.h"
#include "core/clock.h"
#include "ui/dialogs.h"
#include "ui/timefield.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

class FlexGrid;

// A small dialog window, made hidden at start-up and never destroyed before the program
// ends: its Timer1 clears today's marks every day whether the dialog is shown or not, with
// the values its controls hold, saved or not.
class Form3 : public QDialog {
    Q_OBJECT
public:
    // The marks are column 0 of todayGrid; qc.cfg lies in appDir.
    Form3(Clock &clock, Dialogs &dialogs, const QString &appDir, FlexGrid &todayGrid, QWidget *parent = nullptr);

    // Puts qc.cfg (created empty when missing) into the controls and marks them unchanged.
    void GetQc();
    // Replaces qc.cfg with the controls' values; on failure says so and returns false,
    // leaving the old file as it was.
    bool SaveQc();
    QString settingsFilePath() const;
    // Where the clearings are put down.
    void setAsRunLog(AsRunLog &log) { m_asRun = &log; }

    QLabel *Label1;        // the note
    QLabel *Label2;        // "自动清除时间"
    TimeEntry *timeEntry;  // Text22 / VScroll9, Text21 / VScroll8, Text20 / VScroll7, dialog variant
    QLineEdit *Text22, *Text21, *Text20;
    Spinner *VScroll9, *VScroll8, *VScroll7;
    QCheckBox *Check1;      // "自动清除有效"
    QPushButton *Command1;  // "保　存", the default button, enabled while something is unsaved
    QPushButton *Command2;  // "关　闭", also Esc and the title bar's close button
    Timer *Timer1;          // 1000 ms: the clearing check

public slots:
    // Esc and the title bar's close button: as "关　闭", so the dialog is only ever hidden.
    void reject() override;

private:
    void clearingTick();
    void save();
    void closeDialog();

    Clock &m_clock;
    Dialogs &m_dialogs;
    QString m_appDir;
    FlexGrid &m_todayGrid;
    AsRunLog *m_asRun = &AsRunLog::discard();
    bool m_clearing = false;  // the last tick cleared: one line for the ticks of a window
};
