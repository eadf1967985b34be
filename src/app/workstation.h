// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console/database_commands.h"
#include "console/status_console.h"
#include "console/widgets/main_window.h"
#include "link/discovery.h"
#include "link/element_link.h"
#include "link/level_monitor.h"
#include "store/element_database.h"

#include <memory>

namespace ondalink {

class EchoProber;
class MacResolver;
class Notifier;

// What the workstation is made with: the program passes the system's own, tests their fakes.
struct WorkstationSeams {
    Notifier &notifier;
    MacResolver &resolver;
    EchoProber &prober; // the operator's ping
};

// The operator's workstation, composed from explicit parts in the order they depend on each other:
// the element database, the link to the elements and what runs on it, the main window, its database
// commands and, when asked for, the status of the elements. Each part is handed what it uses; none
// reaches another through the window.
class Workstation {
public:
    explicit Workstation(WorkstationSeams seams, const MainWindowSettings &settings = {});
    ~Workstation();
    Workstation(const Workstation &) = delete;
    Workstation &operator=(const Workstation &) = delete;

    // The status of the elements in the window: after the construction, before start().
    StatusConsole &addStatus(StatusSeams seams);
    // The window's start-up; false when the program has to end (the operator has been told why).
    bool start() const { return window->Form_Load(); }

    ElementDatabase database;
    ElementLink link;
    LevelMonitor level;
    Discovery discovery; // Auto Discovery's
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<DatabaseDialogsOver> dialogs;
    std::unique_ptr<DatabaseCommandsPresenter> commands;
    std::unique_ptr<StatusConsole> status;
};

} // namespace ondalink
