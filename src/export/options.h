// The command line of quorvel-export.
#pragma once

#include "export/formats.h"

#include <span>
#include <string>

namespace qv::exporter {

struct ExportOptions {
    Format format = Format::OpenMetrics;
    std::string textfile;  // empty: standard output
    int interval = 0;      // seconds between polls; 0: one poll
};

enum class Parsed { Run, Help, Version, Error };

struct ParseResult {
    Parsed outcome = Parsed::Run;
    ExportOptions options;
    std::string error;  // for Error: what was wrong
};

ParseResult parse_export_options(std::span<const std::string> args);

std::string export_usage();

}  // namespace qv::exporter
