// The operator's hand on today's list: preparing a row's file, switching items off and on.
#pragma once
#include "broadcast/playbackstate.h"
#include "broadcast/todaylist.h"
#include "core/asrunlog.h"

#include <QObject>
#include <functional>

class FlexGrid;
class QLabel;
class QPushButton;
class Mp3Button;
class QWidget;
class MciPlayer;
class Mp3Player;
class Timer;

struct ManualParts {
    FlexGrid *MSFlexGrid1 = nullptr;
    QLabel *Label19 = nullptr;    // full path strip
    QWidget *Picture1 = nullptr;  // the strip's box
    QLabel *Label26 = nullptr;
    QPushButton *Command19 = nullptr;  // "停播" / "恢复"
    Mp3Button *Command21 = nullptr;    // the MP3 play/stop button
    MciPlayer *mci = nullptr;
    Mp3Player *mp3 = nullptr;
    Timer *Timer5 = nullptr;                 // the play-length counter of a scheduled item
    std::function<void()> resetIdle;         // the mouse moved over the list
    AsRunLog *asRun = &AsRunLog::discard();  // items switched off and on
};

class ManualControl : public QObject {
    Q_OBJECT
public:
    ManualControl(ManualParts parts, PlaybackState &state, const TodayList &list, QObject *parent = nullptr);

    void prepareRow();
    void toggleRowMark();
    void toggleMarkAndScroll();

private:
    void toggleMark(int row);

    ManualParts m_p;
    PlaybackState &m_state;
    const TodayList &m_list;
};
