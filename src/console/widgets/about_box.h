// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace ondalink {

// The program's version as built: "major.minor.revision".
QString programVersion();

// The "About" box: the program, its version, the element database it works on and which way ping
// works on this machine. Not yet shown.
QMessageBox *buildAboutBox(const QString &databasePath, QWidget *parent);

} // namespace ondalink
