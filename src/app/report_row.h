// One line of the text report, formatted from a display record alone.
#pragma once

#include "sensors/item_display.h"

#include <cstdint>
#include <string>

namespace qv {

// °F as the report shows it: integer arithmetic, the division truncating toward zero.
int64_t fahrenheit(int32_t celsius);

std::string report_header();
// The row of a monitored item; read is false when its latest reading failed.
std::string report_row(const ItemDisplay& display, bool read);
void append_report_row(std::string& line, const ItemDisplay& display, bool read);
// The closing line: hyphens and the time in ctime form (which brings the newline).
std::string report_footer(long now);

}  // namespace qv
