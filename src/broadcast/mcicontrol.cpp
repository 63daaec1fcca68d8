// The player buttons: pressing play is reported before the player starts.
#include "broadcast/mcicontrol.h"

#include "broadcast/mciplayer.h"

#include <QHBoxLayout>

MciControl::MciControl(MciPlayer &player, QWidget *parent) : QWidget(parent), m_player(player) {
    setObjectName(QStringLiteral("MMControl1"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    auto make = [this, row](const char *name, const QString &glyph, const QString &tip) {
        auto *b = new QPushButton(glyph, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        row->addWidget(b);
        return b;
    };
    PlayButton = make("PlayButton", QStringLiteral("▶"), QStringLiteral("播放"));
    PauseButton = make("PauseButton", QStringLiteral("Ⅱ"), QStringLiteral("暂停"));
    StopButton = make("StopButton", QStringLiteral("■"), QStringLiteral("停止"));
    connect(PlayButton, &QPushButton::clicked, this, [this] {
        emit m_player.MciPlayPressed(0);
        m_player.setCommand(QStringLiteral("play"));
    });
    connect(PauseButton, &QPushButton::clicked, this, [this] { m_player.setCommand(QStringLiteral("pause")); });
    connect(StopButton, &QPushButton::clicked, this, [this] { m_player.setCommand(QStringLiteral("stop")); });
}
