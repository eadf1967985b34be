// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <utility>

class QListWidget;
class QPushButton;

namespace ondalink {

// Replace with…: the operator picks the spare that takes a failed element's configuration.
class ReplaceDialog : public QDialog {
    Q_OBJECT
public:
    // failed names the failed element; spares are (Element key, how the operator reads it).
    ReplaceDialog(const QString &failed, const QList<std::pair<QString, QString>> &spares,
                  QWidget *parent = nullptr);

    // The Element key of the picked spare; empty when none is.
    QString spareKey() const;
    void pick(const QString &key);

private:
    QListWidget *m_list = nullptr;
    QPushButton *m_replace = nullptr;
};

} // namespace ondalink
