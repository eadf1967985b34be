// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/element_record.h"

#include <QString>

namespace ondalink {

// The working copy of the selected element as the properties panel holds it: what Save checks and
// packs, and what a confirming report is compared with. Values are the controls' own, unchecked:
// an index of -1 is a list with nothing selected, an address may be any text.
struct ConfigurationWrite {
    QString mac;                             // the selected element, colon form; empty when none is
    ElementRole role = ElementRole::Unknown; // as the type label shows it
    QString name;
    QString ip;
    QString mask;
    QString gw;
    QString remote;
    int input = -1; // audio input list
    int type = -1;  // audio type list
    int tx = -1;    // transmission list
    bool sfn = false;
    int buf = 0;
    int sdm = -1; // silence-detector mode list
    int sdl = 1;
    int sdt = 1;
    int att = 255;

    bool hasSelection() const { return !mac.isEmpty(); }

    friend bool operator==(const ConfigurationWrite &, const ConfigurationWrite &) = default;
};

} // namespace ondalink
