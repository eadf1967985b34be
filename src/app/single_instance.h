// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace ondalink {

// Holds a lock file in the user's runtime folder for as long as the program runs. A lock left by
// a program that has died is taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString &name);

    // True when no other running copy holds the lock; this copy holds it from now on.
    bool acquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace ondalink
