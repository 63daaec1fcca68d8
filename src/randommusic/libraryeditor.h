// Frame5 "随机播放文件列表": the library editor, showing one library's songs and four groups.
#pragma once
#include "randommusic/musiclibrary.h"
#include "ui/commondialog.h"
#include "ui/timefield.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <array>

class SortedListBox;
class Timer;

// The shown library's group settings live in the fields while it is shown; memory holds the
// copy the random music reads, the library files the lasting one. Groups flow file → fields →
// memory (GetSuiJi) or fields → file and memory (ReflashSj); songs reach their file at once.
class LibraryEditor : public QGroupBox {
    Q_OBJECT
public:
    // Messages and the file dialog go through dialogs and the main window's one commonDialog;
    // the library files lie in appDir. Timer11 is the random music check the editor pauses.
    LibraryEditor(Dialogs &dialogs, CommonDialog &commonDialog, const QString &appDir, MusicLibraries &libraries,
                  Timer &Timer11, QWidget *parent = nullptr);

    std::array<QLabel *, 3> Label61{};  // the tabs "曲库一", "曲库二", "曲库三"
    SortedListBox *List2;
    QPushButton *Command23;                        // "添加"
    QPushButton *Command24;                        // "删除"
    QPushButton *Command25;                        // "返回"
    QGroupBox *Frame6, *Frame8, *Frame7, *Frame9;  // groups 1, 2, 3, 4

    // Time fields, hours / minutes / seconds, start then stop, of groups 1 … 4.
    QLineEdit *Text3, *Text2, *Text1, *Text26, *Text25, *Text24;
    QLineEdit *Text35, *Text34, *Text33, *Text38, *Text37, *Text36;
    QLineEdit *Text30, *Text31, *Text32, *Text27, *Text28, *Text29;
    QLineEdit *Text41, *Text40, *Text39, *Text44, *Text43, *Text42;
    Spinner *VScroll12, *VScroll11, *VScroll10, *VScroll15, *VScroll14, *VScroll13;
    Spinner *VScroll24, *VScroll23, *VScroll22, *VScroll27, *VScroll26, *VScroll25;
    Spinner *VScroll19, *VScroll20, *VScroll21, *VScroll16, *VScroll17, *VScroll18;
    Spinner *VScroll30, *VScroll29, *VScroll28, *VScroll33, *VScroll32, *VScroll31;
    // Day boxes Monday … Saturday, Sunday ("1" … "6", "日"); group 3 numbers them downwards.
    QCheckBox *Check2, *Check3, *Check4, *Check5, *Check6, *Check7, *Check8;
    QCheckBox *Check16, *Check17, *Check18, *Check19, *Check20, *Check21, *Check22;
    QCheckBox *Check15, *Check14, *Check13, *Check12, *Check11, *Check10, *Check9;
    QCheckBox *Check23, *Check24, *Check25, *Check26, *Check27, *Check28, *Check29;

    // The fields of group g (1 … 4).
    struct GroupFields {
        QGroupBox *frame;
        TimeEntry *start, *stop;
        std::array<QCheckBox *, 7> days;  // Monday … Sunday
    };
    const GroupFields &group(int g) const { return m_groups[g - 1]; }

    // The editor is made when first opened, after start-up has loaded the libraries into
    // memory: the fields as start-up's loading of library 2, 1, then 0 leaves them, library 0
    // shown with its songs in memory.
    void showAsLoaded();
    // Command22 "随机": shows the panel as it was left and pauses the random music.
    void open();
    // Label61 click: saves the groups shown so far, then shows library i.
    void showLibrary(int i);
    // Command23 "添加", Command24 "删除", Command25 "返回".
    void addSongs();
    void deleteSong();
    void returnToMain();

    // Empties List2 and loads library n's group settings into the fields and memory.
    void GetSuiJi(int n);
    // Saves the fields as CurrentLibrary's groups, to its file and to memory; random music on.
    void ReflashSj();
    // Loads library n's song list into its song table and List2.
    void LoadSongList(int n);
    // Library n's files read again after someone else changed them; the editor goes on
    // showing the library it showed.
    void reloadLibrary(int n);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void build();
    QGroupBox *buildGroup(int g, const char *frame, const TimeEntry::Names &start, const TimeEntry::Names &stop,
                          const std::array<const char *, 7> &days);
    void showTab(int i);
    // Writes List2 as the current library's song list; on failure says so, naming the file.
    bool saveSongs(const QStringList &songs);
    void warnNotSaved(const QString &what, const QString &path, const QString &reason);

    QWidget *m_left;   // tabs, List2, buttons
    QWidget *m_right;  // the group frames
    Dialogs &m_dialogs;
    CommonDialog &m_CommonDialog1;
    QString m_appDir;
    MusicLibraries &m_libraries;
    Timer &m_Timer11;
    std::array<GroupFields, 4> m_groups{};
};
