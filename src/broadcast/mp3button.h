// Command21, the MP3 play/stop button: its caption also records whether an MP3 was started through it.
#pragma once
#include <QPushButton>

// Shows "播放" while nothing was started through it and "停止" once an MP3 was, until it is
// pressed again or a WAV or MIDI start sets it back. The caption stays "停止" when the song
// ends by itself: the next start through the button then first stops the player.
class Mp3Button : public QPushButton {
    Q_OBJECT
public:
    explicit Mp3Button(QWidget *parent = nullptr) : QPushButton(playCaption(), parent) {}

    bool isPlaying() const { return text() == stopCaption(); }
    void setPlaying(bool playing) { setText(playing ? stopCaption() : playCaption()); }

    static QString playCaption() { return QStringLiteral("播放"); }
    static QString stopCaption() { return QStringLiteral("停止"); }
};
