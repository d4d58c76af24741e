// A file replaced whole, for a collector that may read it at any moment.
#pragma once

#include <string>
#include <string_view>

namespace qv::exporter {

// Writes content beside path under a new name, flushes it to the disk and renames it
// onto path. Empty on success; otherwise why not, and path is as it was.
std::string replace_file(const std::string& path, std::string_view content);

}  // namespace qv::exporter
