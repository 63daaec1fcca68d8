// The WAV/MIDI player's own buttons in the main bar: play, pause and stop the prepared file.
#pragma once
#include <QPushButton>
#include <QWidget>

class MciPlayer;

// Pause holds the file, and with it PlayerBusy: random music waits while the operator has a
// file paused, until it is played to its end or stopped (its MciDone clears the flag).
class MciControl : public QWidget {
    Q_OBJECT
public:
    MciControl(MciPlayer &player, QWidget *parent = nullptr);

    QPushButton *PlayButton;
    QPushButton *PauseButton;
    QPushButton *StopButton;

private:
    MciPlayer &m_player;
};
