// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: one instance only, the window loaded in order, and the end of the program.
#include "app/single_instance.h"
#include "app/workstation.h"
#include "console/desktop_notifications.h"
#include "console/qt_notifier.h"
#include "console/translations.h"
#include "console/widgets/about_box.h"
#include "console/window_memory.h"
#include "diag/linux/async_icmp_prober.h"
#include "diag/linux/icmp_prober.h"
#include "diag/linux/neighbour_resolver.h"
#include "status/clock.h"

#include <ondalink/version.h>

#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {

// The database path; a different file can be named for the lab, for tests and for the example.
QString databasePath() {
    const QString chosen = qEnvironmentVariable("ONDALINK_NMS_INI");
    return chosen.isEmpty() ? ondalink::ElementDatabase::defaultPath() : chosen;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Korvalen"_s);
    QApplication::setApplicationName(u"ondalink-nms"_s);
    QApplication::setApplicationVersion(ondalink::programVersion());
    // The operator's language where the program has it; its English source texts otherwise.
    QTranslator translator;
    ondalink::installTranslation(translator, QLocale::system());
    // The desktop entry and the icon share this id; the theme's icon wins over the built-in one.
    const QString appId = QLatin1StringView(ondalink::kDesktopId);
    QGuiApplication::setDesktopFileName(appId);
    QApplication::setWindowIcon(QIcon::fromTheme(appId, QIcon(u":/icons/"_s + appId + u".svg"_s)));

    ondalink::QtNotifier notifier;
    ondalink::SingleInstance instance(u"ondalink-nms"_s);
    if (!instance.acquire()) {
        notifier.show({ondalink::MessageId::AlreadyRunning});
        return 0;
    }

    ondalink::NeighbourResolver resolver;
    ondalink::IcmpProber prober;
    ondalink::MainWindowSettings settings;
    settings.databasePath = databasePath();
    // The monitoring service on this host would hold the elements' port: it is named if it does.
    settings.link.endpointOwner = u"ondalink-nms"_s;
    ondalink::Workstation station({notifier, resolver, prober}, settings);
    ondalink::MainWindow &window = *station.window;
    notifier.setParent(&window);
    // ~/.config/Korvalen/ondalink-nms.conf: the window's own settings, apart from the elements.
    QSettings windowSettings;
    ondalink::AsyncIcmpProber statusProber;
    ondalink::DesktopNotifications desktop;
    station.addStatus({statusProber, ondalink::systemClock(), desktop, notifier, windowSettings, {}, {}, {}});
    if (!station.start())
        return 1;
    ondalink::restoreWindowState(window, windowSettings);
    window.show();
    const int code = QApplication::exec();
    ondalink::saveWindowState(window, windowSettings);
    return code;
}
