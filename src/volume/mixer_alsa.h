// The mixer of an ALSA card through the simple mixer interface.
#pragma once
#include "volume/mixerdevice.h"

#include <memory>

std::unique_ptr<MixerDevice> makeAlsaMixer(const QString &card = QStringLiteral("default"));

namespace alsamixer {

// How a control with the given native range is shown to the program, and the native value
// written for a value in the shown units (clamped to the control's bounds).
MixerDevice::Line presentedLine(long nativeMin, long nativeMax);
long nativeValue(long value, long nativeMin, long nativeMax);

}  // namespace alsamixer
