// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/workstation.h"

namespace ondalink {

Workstation::Workstation(WorkstationSeams seams, const MainWindowSettings &settings)
    : database(settings.databasePath),
      // What a Save sends and a report confirms is what the window's panel shows.
      link(
          database, seams.notifier, seams.resolver, [this] { return window->shownElement(); }, settings.link),
      level(link, seams.notifier), discovery(link) {
    window = std::make_unique<MainWindow>(
        MainWindowParts{seams.notifier, database, link, level, discovery, seams.prober}, settings);
    dialogs = std::make_unique<DatabaseDialogsOver>(*window);
    commands = std::make_unique<DatabaseCommandsPresenter>(database, link, discovery, level, seams.notifier,
                                                           *dialogs, *window);
    window->addDatabaseCommands(*new DatabaseCommands(*commands, window.get()));
}

// The status listens to the parts and the window, which outlive it; the window goes before the link
// that asks it what is shown.
Workstation::~Workstation() {
    status.reset();
    commands.reset();
    window.reset();
}

StatusConsole &Workstation::addStatus(StatusSeams seams) {
    status = std::make_unique<StatusConsole>(
        *window, StatusParts{database, link, discovery, level, *commands}, std::move(seams));
    return *status;
}

} // namespace ondalink
