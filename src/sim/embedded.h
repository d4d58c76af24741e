// Files built into quorvel-sim: the demo board and the board databases.
#pragma once

#include <string_view>
#include <vector>

namespace qv::sim {

struct EmbeddedFile {
    std::string_view name;
    std::string_view content;
};

const std::vector<EmbeddedFile>& embedded_files();

}  // namespace qv::sim
