// The two players on GStreamer playbin, sounding through the named audio sink element
// ("autoaudiosink" for the loudspeakers, "fakesink" in tests).
#pragma once
#include "broadcast/mciplayer.h"
#include "broadcast/mp3player.h"

#include <memory>

std::unique_ptr<MciPlayer> makeGstMciPlayer(const QString &audioSink);
std::unique_ptr<Mp3Player> makeGstMp3Player(const QString &audioSink);
