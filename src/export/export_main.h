// quorvel-export: the readings of every monitored item for fleet monitoring.
#pragma once

namespace qv::exporter {

// The whole program on an installed machine; returns main's result or exits.
int export_main(int argc, char** argv);

}  // namespace qv::exporter
