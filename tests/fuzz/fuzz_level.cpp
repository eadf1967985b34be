// SPDX-License-Identifier: GPL-3.0-or-later
// Level replies: the peak against a plain reading of the 24-bit samples, the meter width and dBFS
// text against the arithmetic, and the monitor's reported peak with monitoring on and off.
// Input: a flag byte (bit 0: monitoring on), then the reply (any length reaches levelPeak).
#include "console/widgets/level_display.h"
#include "fakes.h"
#include "fuzz_support.h"
#include "link/datagrams.h"
#include "link/element_link.h"
#include "link/level_monitor.h"
#include "store/element_database.h"

#include <cmath>
#include <memory>
#include <optional>

using namespace ondalink;

namespace {

struct Monitor {
    testing::RecordingNotifier notifier;
    testing::ScriptedResolver resolver;
    ElementDatabase database{fuzzing::scratchFolder() + QStringLiteral("/level.ini")};
    ElementLink link{database, notifier, resolver, {}};
    LevelMonitor monitor{link, notifier};
    std::optional<quint32> peak; // the last one reported
    Monitor() {
        monitor.setInterval(1 << 30); // never ticks during a run
        QObject::connect(&monitor, &LevelMonitor::peakChanged, &monitor, [this](quint32 p) { peak = p; });
    }
};

qint64 referencePeak(QByteArrayView reply) {
    qint64 peak = 0;
    for (qsizetype i = 0; i + 3 <= reply.size(); i += 3) {
        qint32 v = (quint8(reply[i]) << 16) | (quint8(reply[i + 1]) << 8) | quint8(reply[i + 2]);
        if (v & 0x800000)
            v -= 0x1000000; // two's complement
        peak = std::max<qint64>(peak, v);
    }
    return peak;
}

void checkDisplay(quint32 peak, const LevelDisplay &shown) {
    if (peak == 0) {
        FUZZ_CHECK((shown == LevelDisplay{0, QStringLiteral("-oodBFS")}));
        return;
    }
    const double ratio = double(peak) / kLevelFullScale;
    FUZZ_CHECK(shown.meterWidth >= 0 && shown.meterWidth <= kMeterFullWidth);
    FUZZ_CHECK(std::abs(shown.meterWidth - ratio * kMeterFullWidth) <= 0.5);
    FUZZ_CHECK(shown.text.endsWith(QStringLiteral("dBFS")));
    const QString number = shown.text.chopped(4);
    bool ok = false;
    const double db = number.toDouble(&ok);
    FUZZ_CHECK(ok && db <= 0 && std::abs(db - 20 * std::log10(ratio)) <= 0.05 + 1e-9);
    FUZZ_CHECK(!number.endsWith(QStringLiteral(".0")) && number != QStringLiteral("-0"));
    const qsizetype point = number.indexOf(u'.');
    FUZZ_CHECK(point < 0 || number.size() - point == 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    static const auto m = std::make_unique<Monitor>();
    const bool on = data[0] & 1;
    const QByteArray reply(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const quint32 peak = levelPeak(reply);
    FUZZ_CHECK(qint64(peak) == referencePeak(reply));
    checkDisplay(peak, levelDisplay(peak, QLocale::c()));

    // The dispatch hands the monitor exactly 1440 bytes: cut or zero-filled to that.
    QByteArray block = reply.left(kLevelReplyLength);
    block.resize(kLevelReplyLength, '\0');
    m->monitor.setEnabled(on);
    m->peak.reset();
    Q_EMIT m->link.levelReplyReceived(block);
    FUZZ_CHECK(m->peak == (on ? levelPeak(block) : 0u));
    FUZZ_CHECK(m->notifier.messages.isEmpty());
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzing::startQt();
    return 0;
}
