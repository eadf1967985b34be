// SPDX-License-Identifier: GPL-3.0-or-later
#include "level_signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ondalink::sim {

namespace {

constexpr int kPeriodSamples = 48;

void putSample(QByteArray &out, qint32 value) {
    const auto bits = static_cast<quint32>(value) & 0xFFFFFFu;
    out.append(static_cast<char>(bits >> 16));
    out.append(static_cast<char>((bits >> 8) & 0xFF));
    out.append(static_cast<char>(bits & 0xFF));
}

} // namespace

qint32 peakAt(const LevelSignal &signal, qint64 elapsedMs) {
    const qint32 peak = std::clamp(signal.peak, 0, kLargestSample);
    if (signal.driftPeriodMs <= 0)
        return peak;
    const double phase =
        2.0 * std::numbers::pi * static_cast<double>(elapsedMs % signal.driftPeriodMs) / signal.driftPeriodMs;
    // From the full peak at the start down to a tenth of it and back.
    return static_cast<qint32>(std::lround(peak * (0.55 + 0.45 * std::cos(phase))));
}

QByteArray levelBlock(const LevelSignal &signal, qint64 elapsedMs) {
    QByteArray out;
    out.reserve(kLevelReplyLength);
    const qint32 peak = peakAt(signal, elapsedMs);
    for (int k = 0; k < kLevelSamples; ++k) {
        // A cosine starts at exactly 1, so the block's positive peak is exactly the chosen one.
        const double wave = std::cos(2.0 * std::numbers::pi * (k % kPeriodSamples) / kPeriodSamples);
        auto value = static_cast<qint32>(std::lround(peak * wave));
        switch (signal.shape) {
        case LevelShape::Sine:
            break;
        case LevelShape::Zero:
            value = 0;
            break;
        case LevelShape::Negative:
            value = -std::abs(value) - 1;
            break;
        }
        putSample(out, value);
    }
    return out;
}

} // namespace ondalink::sim
