// The mixer of an ALSA card through the simple mixer interface.
#pragma once
#include "volume/mixerdevice.h"

#include <memory>

std::unique_ptr<MixerDevice> makeAlsaMixer(const QString &card = QStringLiteral("default"));
