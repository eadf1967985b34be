// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace ondalink {

class StatusBoard;

// The board as one Prometheus scrape, text exposition format 0.0.4, UTF-8: every family's HELP and
// TYPE once, then its samples in the board's index order. Each element's samples carry the labels
// mac, name, ip and role. A value that is not known has no sample (an Unknown element has no
// ondalink_element_up, a never-heard one no last-seen time), so an alert on "== 0" only fires on
// what was measured. Numbers are written in the C locale.
QByteArray metricsText(const StatusBoard &board);

// The content type of metricsText's output.
inline constexpr char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";

} // namespace ondalink
