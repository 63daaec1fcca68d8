// Frame1 "列表文件设置": the live weekday list configuration the scheduler reads every second.
#pragma once
#include "editor/lstcfg.h"
#include "ui/commondialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <optional>

class WeekdayPanel : public QGroupBox {
    Q_OBJECT
public:
    // File dialogs and messages go through dialogs; LstCfg.Cfg lies in appDir.
    // commonDialog is the main window's one file dialog, shared with the other panels.
    WeekdayPanel(Dialogs &dialogs, CommonDialog &commonDialog, const QString &appDir, QWidget *parent = nullptr);

    QRadioButton *Option1;                                              // "每天相同"
    QRadioButton *Option2;                                              // "每天任意"
    QLineEdit *Text4, *Text5, *Text6, *Text7, *Text8, *Text9, *Text10;  // Sunday … Saturday
    QLineEdit *Text23;                                                  // every day
    QLabel *Label9, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label22;
    std::array<QPushButton *, 9> Command10{};  // "..." browse buttons, index 1 … 8
    QPushButton *Command11;                    // "保存"
    QPushButton *HolidayButton;                // "节假日…": the days off and make-up days
    QPushButton *LockButton;                   // "密码…": the password over the settings
    QPushButton *Command3;                     // "▲"
    QPushButton *Command4;                     // "▼"

    // The text box of a weekday (1 = Sunday … 7 = Saturday).
    QLineEdit *dayText(int weekday) const;
    // The path the scheduler should load today.
    QString todayPath(int weekday) const;

    WeekdayListConfig config() const;
    // Fills the controls as start-up does: the mode applied, the texts set, nothing unsaved.
    void showConfig(const WeekdayListConfig &config);
    // Reads AppDir + "LstCfg.Cfg" (created empty when missing) into the controls.
    void loadConfig();

private:
    void build();
    void applyMode();
    void browseList(int index);
    void saveConfig();

    Dialogs &m_dialogs;
    QString m_appDir;
    CommonDialog &m_CommonDialog1;

    std::array<QLineEdit *, 7> m_days{};
    std::array<QLabel *, 7> m_dayLabels{};
    // Text4 … Text10, then Text23, and their labels: in the order of Command10(1) … Command10(8).
    std::array<QLineEdit *, 8> m_paths{};
    std::array<QLabel *, 8> m_pathLabels{};
};
