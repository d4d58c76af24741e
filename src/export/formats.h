// The three ways a poll is written out: OpenMetrics text, JSON, a Nagios plugin line.
#pragma once

#include "export/snapshot.h"

#include <string>
#include <string_view>

namespace qv::exporter {

enum class Format { OpenMetrics, Json, Nagios };

// Nagios plugin exit statuses.
inline constexpr int kNagiosOk = 0;
inline constexpr int kNagiosWarning = 1;
inline constexpr int kNagiosCritical = 2;
inline constexpr int kNagiosUnknown = 3;

std::string escape_label_value(std::string_view value);
std::string openmetrics_text(const Snapshot& snapshot);
std::string json_text(const Snapshot& snapshot);

struct NagiosResult {
    std::string line;  // with its newline
    int status = kNagiosUnknown;
};
NagiosResult nagios_result(const Snapshot& snapshot);

}  // namespace qv::exporter
