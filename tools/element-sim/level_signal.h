// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim_config.h"

#include <QByteArray>

namespace ondalink::sim {

inline constexpr int kLevelSamples = 480;
inline constexpr int kLevelReplyLength = 1440;
inline constexpr qint32 kLargestSample = 8388607;

// The positive peak of the block sent at this time since the element started.
qint32 peakAt(const LevelSignal &signal, qint64 elapsedMs);
// 480 samples, 3 bytes each, big-endian two's complement: a 1 kHz tone at 48 kHz.
QByteArray levelBlock(const LevelSignal &signal, qint64 elapsedMs);

} // namespace ondalink::sim
