// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance.h"

#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace ondalink {

SingleInstance::SingleInstance(const QString &name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_path = QDir(folder).filePath(name + u".lock"_s);
}

bool SingleInstance::acquire() {
    m_lock = std::make_unique<QLockFile>(m_path);
    return m_lock->tryLock(0);
}

} // namespace ondalink
