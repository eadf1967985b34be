// SPDX-License-Identifier: GPL-3.0-or-later
// What one event says to the journal: the element's identity in fields of its own, the severity
// as the journal's priority, and every value on one line.
#include "service/journal.h"
#include "status/event_log.h"

#include <gtest/gtest.h>

#include <syslog.h>

using namespace Qt::StringLiterals;

namespace ondalink {
namespace {

QByteArray field(const QList<QByteArray> &fields, const QByteArray &name) {
    QByteArray found;
    for (const QByteArray &f : fields) {
        if (f.startsWith(name + '=')) {
            EXPECT_TRUE(found.isEmpty()) << "twice: " << name.constData();
            found = f.mid(name.size() + 1);
        }
    }
    return found;
}

TEST(Journal, AnElementsEventCarriesItsIdentityAndSeverityInFieldsOfTheirOwn) {
    EventRow alarm;
    alarm.severity = EventSeverity::Alarm;
    alarm.elementName = u"Studio Émile    "_s;
    alarm.elementMac = u"00:A0:12:34:56:78"_s;
    alarm.event = u"Alarm raised"_s;
    alarm.detail = u"Offline: 3 probes\nin a row"_s;
    const QList<QByteArray> fields = journalFields(alarm);
    EXPECT_EQ(field(fields, "PRIORITY"), QByteArray::number(LOG_ERR));
    EXPECT_EQ(field(fields, "ONDALINK_SEVERITY"), "alarm");
    EXPECT_EQ(field(fields, "ONDALINK_EVENT"), "Alarm raised");
    EXPECT_EQ(field(fields, "ONDALINK_ELEMENT_MAC"), "00:A0:12:34:56:78");
    EXPECT_EQ(field(fields, "ONDALINK_ELEMENT_NAME"), u"Studio Émile"_s.toUtf8());
    EXPECT_EQ(field(fields, "ONDALINK_DETAIL"), "Offline: 3 probes in a row");
    EXPECT_EQ(field(fields, "MESSAGE"),
              u"Alarm raised: Studio Émile (00:A0:12:34:56:78) - Offline: 3 probes in a row"_s.toUtf8());

    EventRow started;
    started.event = u"Service started"_s;
    const QList<QByteArray> plain = journalFields(started);
    EXPECT_EQ(field(plain, "PRIORITY"), QByteArray::number(LOG_INFO));
    EXPECT_EQ(field(plain, "MESSAGE"), "Service started");
    // No empty identity fields: a search by MAC finds only elements' events.
    for (const QByteArray &f : plain)
        EXPECT_FALSE(f.startsWith("ONDALINK_ELEMENT_")) << f.constData();

    started.severity = EventSeverity::Warning;
    EXPECT_EQ(field(journalFields(started), "PRIORITY"), QByteArray::number(LOG_WARNING));
}

} // namespace
} // namespace ondalink
