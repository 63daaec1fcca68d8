// Frame2 "播放设置": the schedule list editor, writing every change to its list file at once.
#pragma once
#include "editor/editorrules.h"
#include "ui/commondialog.h"
#include "ui/timefield.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class FlexGrid;
struct TodayList;

class ScheduleEditor : public QGroupBox {
    Q_OBJECT
public:
    // MSFlexGrid1 and todayList are today's grid and list, which a closed list goes into.
    // commonDialog is the main window's one file dialog, shared with the other panels.
    ScheduleEditor(Dialogs &dialogs, CommonDialog &commonDialog, const QString &appDir, FlexGrid &MSFlexGrid1,
                   TodayList &todayList, QWidget *parent = nullptr);

    QLabel *Label10, *Label11, *Label12, *Label15, *Label18;
    QLineEdit *Text11;       // item name
    QLineEdit *Text12;       // sound file
    QPushButton *Command12;  // "..."
    TimeEntry *StartEntry;   // "开播时间"
    QLineEdit *Text13, *Text14, *Text15;
    Spinner *VScroll1, *VScroll2, *VScroll3;
    QRadioButton *Option3;  // "播完"
    QRadioButton *Option4;  // "定时"
    TimeEntry *LengthEntry;
    QLineEdit *Text16, *Text17, *Text18;
    Spinner *VScroll4, *VScroll5, *VScroll6;
    QLineEdit *Text19;       // the open list file; empty when none is open
    QPushButton *Command6;   // "打开文件" / "关闭文件"
    QPushButton *Command13;  // "另存为"
    QPushButton *Command7;   // "添加" / "OK"
    QPushButton *Command8;   // "修改" / "OK"
    QPushButton *Command9;   // "删除" / "OK"
    QPushButton *Command5;   // "放弃"
    QPushButton *Command18;  // "排序保存"
    FlexGrid *MSFlexGrid2;

    // Start-up: the editor grid's column widths and headers, and the grid cut to its header row.
    void prepareGrid();

    editorrules::State state() const { return m_state; }
    // The button Enter presses, once a command has made one the default.
    QPushButton *defaultButton() const { return m_defaultButton; }

signals:
    // A list file was opened (true) or closed (false). While one is open the exit button, the
    // main ▼ button and the weekday panel must stay disabled; on closing the main window also
    // shows today's list file again in its list-file label.
    void listOpenChanged(bool open);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openOrCloseList();
    void browseSoundFile();
    void addItem();
    void modifyItem();
    void deleteItem();
    void abandonCommand();
    void saveSortedAs();
    void sortAndSave();
    void takeRowIntoFields();

    void openList();
    void closeList();
    void setState(editorrules::State state);
    // The item the input fields describe.
    ScheduleItem fieldItem() const;
    // The items of the grid's data rows, in row order or in the given order of row numbers.
    QList<ScheduleItem> gridItems(const QList<int> &rows) const;
    QList<int> sortedGridRows() const;
    void fillGrid(const QList<ScheduleItem> &items);
    // Writes these items as the whole file, then shows what the file now holds. False (with a
    // message, the old file untouched) when the file could not be written.
    bool rewriteAndReload(const QString &path, const QList<ScheduleItem> &items);
    // True when the open file still holds exactly the grid's rows, so a record written by
    // number lands where the grid shows it; otherwise says why nothing will be written.
    bool fileMatchesGrid(const QString &path);
    void reportFailure(const QString &what, const QString &path, const QString &reason);
    // False, after saying why, when the path cannot be kept in a field of maxBytes: what says
    // where it was to go and what was not done.
    bool isStorable(const QString &path, int maxBytes, const QString &what);
    // The sound file field, before an add or a modify writes it.
    bool isStorableSoundFile();

    Dialogs &m_dialogs;
    QString m_appDir;
    FlexGrid &m_todayGrid;
    TodayList &m_todayList;
    CommonDialog &m_CommonDialog1;
    editorrules::State m_state = editorrules::State::Closed;
    QPushButton *m_defaultButton = nullptr;
};
