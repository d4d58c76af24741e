// Every chip the shipped databases and the simulated boards name has its own record.
#include "hw/chips.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace qv::test {
namespace {

TEST(ChipTable, EveryChipCodeInUseHasARecord)
{
    const std::filesystem::path source(QUORVEL_SOURCE_DIR);
    const std::regex key(R"((?:^|\\n|[^A-Za-z])CHIPCODE=([0-9A-Fa-f]+))", std::regex::icase);  // not CORETEMPCHIPCODE
    int seen = 0;
    for (const char* folder : {"data", "boards"}) {
        for (const auto& entry : std::filesystem::directory_iterator(source / folder)) {
            if (entry.path().filename() == "faulty.json") continue;  // its unknown chip is the point
            std::ostringstream text;
            text << std::ifstream(entry.path()).rdbuf();
            const std::string body = text.str();
            for (std::sregex_iterator it(body.begin(), body.end(), key), end; it != end; ++it, ++seen)
                EXPECT_TRUE(chips::listed(std::stoi((*it)[1], nullptr, 16))) << entry.path() << it->str();
        }
    }
    EXPECT_GT(seen, 1000);  // the scan found the profiles
}

}  // namespace
}  // namespace qv::test
