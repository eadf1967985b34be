// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's widgets, for tests and benchmarks that look inside it: the window itself offers no
// part to another.
#pragma once

#include "console/widgets/diagnostics_frame.h"
#include "console/widgets/element_tree.h"
#include "console/widgets/main_window.h"
#include "console/widgets/properties_panel.h"

namespace ondalink::testing {

inline ElementTree &elementTree(const MainWindow &window) {
    return *window.findChild<ElementTree *>();
}
inline PropertiesPanel &panel(const MainWindow &window) {
    return *window.findChild<PropertiesPanel *>();
}
inline DiagnosticsFrame &diagnostics(const MainWindow &window) {
    return *window.findChild<DiagnosticsFrame *>();
}

} // namespace ondalink::testing
