// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace ondalink {

QStringList translationFolders() {
    const QDir program(QCoreApplication::applicationDirPath());
    return {QDir::cleanPath(program.filePath(u"../share/ondalink-nms/translations"_s)),
            QDir::cleanPath(program.filePath(u"../translations"_s))};
}

bool installTranslation(QTranslator &translator, const QLocale &locale, const QStringList &folders) {
    for (const QString &folder : folders) {
        if (translator.load(locale, u"ondalink"_s, u"_"_s, folder))
            return QCoreApplication::installTranslator(&translator);
    }
    return false;
}

} // namespace ondalink
