// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QMainWindow;
class QSettings;

namespace ondalink {

// The main window's size, position, toolbar and splitter, kept in the user's settings (not in the
// element database) from one run to the next.
void restoreWindowState(QMainWindow &window, const QSettings &settings);
void saveWindowState(const QMainWindow &window, QSettings &settings);

} // namespace ondalink
