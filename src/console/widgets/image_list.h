// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

namespace ondalink {

// The console's images by their number: 1 to 5 the toolbar commands, 6 an ENCODER node, 7 any other
// node.
inline constexpr int kImageDiscover = 1;
inline constexpr int kImageRefresh = 2;
inline constexpr int kImageSave = 3;
inline constexpr int kImageStartMonitoring = 4;
inline constexpr int kImageStopMonitoring = 5;
inline constexpr int kImageEncoder = 6;
inline constexpr int kImageOther = 7;

// Resource path of an image; empty for a number outside 1..7.
QString ImageList1Path(int index);
QIcon ImageList1(int index);

} // namespace ondalink
