// One line of the text report, formatted from a display record alone.
#pragma once

#include "sensors/convert.h"
#include "sensors/item_display.h"

#include <cstdint>
#include <string>

namespace qv {

std::string report_header();
// The row of a monitored item; read is false when its latest reading failed.
std::string report_row(const ItemDisplay& display, bool read);
void append_report_row(std::string& line, const ItemDisplay& display, bool read);
// A row's Status column, and whether the row ends in "Warning!".
std::string report_status(const ItemDisplay& display, bool read);
bool report_warns(const ItemDisplay& display, bool read);
// The closing line: hyphens and the time in ctime form (which brings the newline).
std::string report_footer(long now);

}  // namespace qv
