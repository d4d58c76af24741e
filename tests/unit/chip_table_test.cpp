// Every chip the shipped databases and the simulated boards name has its own record.
#include "hw/chips.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qv::test {
namespace {

TEST(ChipTable, EveryChipCodeInUseHasARecord)
{
    const std::filesystem::path source(QUORVEL_SOURCE_DIR);
    int seen = 0;
    for (const char* folder : {"data", "boards"}) {
        for (const auto& entry : std::filesystem::directory_iterator(source / folder)) {
            if (entry.path().filename() == "faulty.json") continue;  // its unknown chip is the point
            std::ostringstream text;
            text << std::ifstream(entry.path()).rdbuf();
            std::string body = text.str();
            for (char& c : body) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            for (auto at = body.find("CHIPCODE="); at != std::string::npos; at = body.find("CHIPCODE=", at + 1)) {
                if (at >= 8 && body.compare(at - 8, 8, "CORETEMP") == 0) continue;
                ++seen;
                const int code = std::stoi(body.substr(at + 9, 8), nullptr, 16);
                EXPECT_TRUE(chips::listed(code)) << entry.path() << " CHIPCODE=" << code;
            }
        }
    }
    EXPECT_GT(seen, 1000);  // the scan found the profiles
}

}  // namespace
}  // namespace qv::test
