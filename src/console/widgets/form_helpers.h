// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSizePolicy>
#include <QString>
#include <QWidget>

namespace ondalink {

// A caption as it reads, without its Alt+letter marker: "VLAN &O&&M:" reads "VLAN O&M:".
inline QString withoutMnemonic(const QString &caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i; // "&x" is x with a marker; "&&" is one ampersand
        shown.append(caption[i]);
    }
    return shown;
}

// Hidden by the element's type, these keep their room: the form does not move between an encoder and a
// decoder.
inline void keepRoomWhenHidden(const QList<QWidget *> &widgets) {
    for (QWidget *w : widgets) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
}

} // namespace ondalink
