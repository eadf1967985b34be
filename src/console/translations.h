// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QStringList>

class QTranslator;

namespace ondalink {

// Where the program's .qm files are: the installed data folder (<prefix>/share/ondalink-nms/translations
// beside <prefix>/bin), then the build tree's (<build>/translations beside <build>/src).
QStringList translationFolders();

// Loads the translation for the locale (its language and its fallbacks, e.g. de_AT, de) from the first
// folder that has one and installs it; false, and the English source texts stay, when none has.
bool installTranslation(QTranslator &translator, const QLocale &locale,
                        const QStringList &folders = translationFolders());

} // namespace ondalink
