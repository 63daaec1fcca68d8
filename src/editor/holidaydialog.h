// HolidayDialog "节假日与调休": marks dates as days off, as make-up days that run another weekday's list, or as
// special days that run a list file of their own.
#pragma once
#include "core/clock.h"
#include "core/holidaycalendar.h"
#include "ui/commondialog.h"
#include "ui/dialogs.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

// Edits a copy of the calendar; only "保　存" puts it into force and into its file.
class HolidayDialog : public QDialog {
    Q_OBJECT
public:
    // commonDialog is the main window's one file dialog, shared with the other panels.
    HolidayDialog(Clock &clock, Dialogs &dialogs, CommonDialog &commonDialog, HolidayCalendar &holidays,
                  QWidget *parent = nullptr);

    // Reads the file again, so that a hand edit comes into force and its faults are shown,
    // selects today and shows the dialog.
    void openDialog();
    // Writes the edited calendar; on failure says so, naming the file, and returns false.
    bool saveCalendar();

    QCalendarWidget *calendar;
    QLabel *dateLabel;             // the selected date and its weekday
    QRadioButton *ordinaryOption;  // "照常": no entry
    QRadioButton *offOption;       // "休息"
    QRadioButton *makeUpOption;    // "调休，按" a weekday's list
    QComboBox *weekdayBox;         // that weekday
    QRadioButton *specialOption;   // "按列表文件": a special day
    QLineEdit *listFileText;       // that list file, chosen with listFileButton
    QPushButton *listFileButton;   // "...": the shared file dialog
    QLineEdit *noteText;           // "备注"
    QListWidget *comingList;       // the entries from today on
    QLabel *skippedNote;           // lines of the file that were left out
    QPushButton *saveButton;       // "保　存", enabled while something is unsaved
    QPushButton *closeButton;      // "关　闭", also Esc

public slots:
    void reject() override;

private:
    void showSelectedDate();
    void changeSelectedDate();
    void showCalendar();
    void closeDialog();
    void showEnabled();
    bool chooseListFile();

    Clock &m_clock;
    Dialogs &m_dialogs;
    CommonDialog &m_CommonDialog1;
    HolidayCalendar &m_holidays;
    holidayrules::Calendar m_edited;
    QString m_readFault;     // why the file could not be read when the dialog opened
    bool m_filling = false;  // the controls are being filled, not changed by the operator
};
