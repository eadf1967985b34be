// SPDX-License-Identifier: GPL-3.0-or-later
// ondalink-nms-demo: the NMS's main window, as the program builds it, driven by itself through
// what an operator does first: a discovery (answered Yes), the first element selected, its ping
// tested and, on an encoder, its level watched. Prints "ready" when the window shows all that, and
// keeps running until it is closed. Messages go to standard output instead of message boxes.
// Usage: ondalink-nms-demo [row]: the row of the list to select instead of the first.
#include "app/workstation.h"
#include "diag/linux/async_icmp_prober.h"
#include "diag/linux/icmp_prober.h"
#include "diag/linux/neighbour_resolver.h"
#include "model/notifier.h"
#include "status/clock.h"
#include "status/notification_sink.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// No desktop notifications: the screenshot shows the list's status column instead.
class NoNotifications : public ondalink::NotificationSink {
public:
    void notify(const ondalink::DesktopNotification & /*notification*/) override {}
};

// Says Yes to every question (and discards unsaved edits); the operator of a demonstration is the program
// itself.
class AnsweringNotifier : public ondalink::Notifier {
public:
    ondalink::Answer show(const ondalink::Message &message) override {
        const ondalink::MessageText text = ondalink::render(message);
        QTextStream(stdout) << "message: "
                            << QString(text.primary + u' ' + text.informative).replace(u'\n', u' ')
                            << Qt::endl;
        switch (text.buttons) {
        case ondalink::MessageButtons::YesNo:
            return ondalink::Answer::Yes;
        case ondalink::MessageButtons::SaveDiscardCancel:
            return ondalink::Answer::Discard;
        case ondalink::MessageButtons::Ok:
            break;
        }
        return ondalink::Answer::Ok;
    }
};

constexpr int kStartMs = 500;   // the window is on the screen
constexpr int kSettleMs = 1500; // a few level replies have come in

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"ondalink-nms-demo"_s);
    AnsweringNotifier notifier;
    ondalink::NeighbourResolver resolver;
    ondalink::IcmpProber prober;
    ondalink::MainWindowSettings settings;
    if (const QString path = qEnvironmentVariable("ONDALINK_NMS_INI"); !path.isEmpty())
        settings.databasePath = path;
    ondalink::Workstation station({notifier, resolver, prober}, settings);
    ondalink::MainWindow &window = *station.window;
    // The status columns filled by real probes; settings and events of a demonstration are its own.
    QTemporaryDir scratch;
    QSettings statusSettings(scratch.filePath(u"demo.conf"_s), QSettings::IniFormat);
    ondalink::AsyncIcmpProber statusProber;
    NoNotifications notifications;
    station.addStatus({statusProber,
                       ondalink::systemClock(),
                       notifications,
                       notifier,
                       statusSettings,
                       scratch.filePath(u"events"_s),
                       scratch.filePath(u"history"_s),
                       {}});
    if (!station.start())
        return 1;
    window.show();

    const int row = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    QTimer::singleShot(kStartMs, &window, [&window, row] {
        window.action(ondalink::MainWindow::Command::Discover)
            ->trigger(); // returns when the paging window has closed
        auto *tree = window.findChild<QTreeView *>(u"TreeView1"_s);
        QTextStream out(stdout);
        out << "discovered: " << tree->model()->rowCount() << " elements" << Qt::endl;
        if (tree->model()->rowCount() <= row) {
            out << "ready" << Qt::endl;
            return;
        }
        const QModelIndex chosen = tree->model()->index(row, 0);
        tree->setCurrentIndex(chosen);
        tree->setFocus();
        out << "selected: " << chosen.data().toString() << Qt::endl;
        window.findChild<QAction *>(u"actPing"_s)->trigger();
        if (window.action(ondalink::MainWindow::Command::StartMonitoring)->isEnabled())
            window.action(ondalink::MainWindow::Command::StartMonitoring)->trigger();
        QTimer::singleShot(kSettleMs, &window, [&window] {
            QTextStream(stdout) << "ping: " << window.findChild<QLabel *>(u"lblPing"_s)->text() << Qt::endl
                                << "level: " << window.findChild<QLabel *>(u"lblVolume"_s)->text() << Qt::endl
                                << "ready" << Qt::endl;
        });
    });
    return QApplication::exec();
}
