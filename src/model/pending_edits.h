// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/configuration_write.h"
#include "model/element_fields.h"

#include <QList>

#include <optional>

namespace ondalink {

// What the operator has changed since the shown element was loaded: the panel as it was filled (or
// as a report last set it) against the panel now, value by value. Typing a value back to what it
// was is no change; neither is another spelling of the same thing the element would be sent.
class PendingEdits {
public:
    // A freshly filled panel: its values are the element's own.
    void setLoaded(const ConfigurationWrite &loaded) { m_loaded = loaded; }
    // No element shown: nothing can be pending.
    void clear() { m_loaded.reset(); }
    // A report set the panel: what it shows now is the element's own, except the fields the report
    // did not confirm, which stay as they were loaded.
    void setConfirmed(const ConfigurationWrite &shown, const QList<ElementKey> &unconfirmed);

    // The changed fields among those a write carries for the shown element's type, in panel order.
    QList<ElementKey> changed(const ConfigurationWrite &shown) const;
    const std::optional<ConfigurationWrite> &loaded() const { return m_loaded; }

    // The fields a write carries for an element of this type.
    static QList<ElementKey> carried(ElementRole role);
    static bool same(ElementKey field, const ConfigurationWrite &a, const ConfigurationWrite &b);

private:
    std::optional<ConfigurationWrite> m_loaded;
};

} // namespace ondalink
