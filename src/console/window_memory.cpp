// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/window_memory.h"

#include <QMainWindow>
#include <QSettings>
#include <QSplitter>

using namespace Qt::StringLiterals;

namespace ondalink {

namespace {

const QString kGeometry = u"window/geometry"_s;
const QString kState = u"window/state"_s;
const QString kSplitter = u"window/splitter"_s;

QSplitter *splitterOf(const QMainWindow &window) {
    return window.findChild<QSplitter *>(u"splitter"_s);
}

} // namespace

void restoreWindowState(QMainWindow &window, const QSettings &settings) {
    // Each piece on its own: a value that no longer fits is ignored and the default kept.
    window.restoreGeometry(settings.value(kGeometry).toByteArray());
    window.restoreState(settings.value(kState).toByteArray());
    if (QSplitter *splitter = splitterOf(window))
        splitter->restoreState(settings.value(kSplitter).toByteArray());
}

void saveWindowState(const QMainWindow &window, QSettings &settings) {
    settings.setValue(kGeometry, window.saveGeometry());
    settings.setValue(kState, window.saveState());
    if (QSplitter *splitter = splitterOf(window))
        settings.setValue(kSplitter, splitter->saveState());
    settings.sync();
}

} // namespace ondalink
