// The mixer of an ALSA card through the simple mixer interface.
#pragma once
#include "volume/mixerdevice.h"

#include <QtGlobal>
#include <memory>

std::unique_ptr<MixerDevice> makeAlsaMixer(const QString &card = QStringLiteral("default"));

namespace alsamixer {

// How a control with the given native range is shown to the program, and the native value
// written for a value in the shown units (clamped to the control's bounds).
MixerDevice::Line presentedLine(long nativeMin, long nativeMax);
long nativeValue(long value, long nativeMin, long nativeMax);

// How many values an ALSA mixer made by makeAlsaMixer has sent to the card so far (fewer than
// were asked for when a burst of changes was coalesced); -1 for any other device.
qint64 writesMade(const MixerDevice &mixer);

}  // namespace alsamixer
