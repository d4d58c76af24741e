// Board identity from the DMI tables: the base-board record, the forced search for the
// maker's record, the dmidecode fallback, and tables that lie.
#include "hw/dmi.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <array>

namespace qv::test {
namespace {

using ::testing::IsEmpty;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;
using Identity = std::array<std::string, 3>;  // vendor, product, version

sim::json identity(const char* vendor, const char* product = "SK5BN", const char* version = "2.0")
{
    return {{"identity", {{"vendor", vendor}, {"product", product}, {"version", version}}}};
}

// A record elsewhere in the BIOS area.
sim::json elsewhere(const char* address, int type, const sim::json& strings)
{
    return sim::json::array({{{"address", address}, {"type", type}, {"strings", strings}}});
}

// The Acme board's own record, and a type-2 record elsewhere.
sim::json acme_and(const char* address, int type, const sim::json& strings)
{
    return {{"identity", {{"vendor", "Acme"}, {"product", "X1"}, {"version", "1.0"}}},
            {"dmi", {{"elsewhere", elsewhere(address, type, strings)}}}};
}

sim::json records(const sim::json& list, sim::json dmi = sim::json::object())
{
    dmi["records"] = list;
    return {{"dmi", dmi}};
}

// An entry point as firmware lays it out, for boards with more than one.
sim::json entry_point(unsigned length, unsigned address, unsigned count)
{
    return {0x5F, 0x44, 0x4D, 0x49, 0x5F, 0, length & 0xFF, length >> 8, address & 0xFF, (address >> 8) & 0xFF,
            (address >> 16) & 0xFF, address >> 24, count & 0xFF, count >> 8};
}

// The TALLOWMERE board, and more.
sim::json tallowmere_and(const sim::json& more)
{
    sim::json board = identity("TALLOWMERE");
    board.update(more);
    return board;
}

class BoardIdentity : public HwTest {
protected:
    Identity identify()
    {
        char vendor[kIdentitySize] = {};
        char product[kIdentitySize] = {};
        char version[kIdentitySize] = {};
        get_mb_info(vendor, product, version);
        return {vendor, product, version};
    }
    // Windows the forced search mapped.
    std::size_t search_windows()
    {
        const auto lines = trace("memory");
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.ends_with("8192 bytes"); }));
    }
};

TEST_F(BoardIdentity, GivesTheBoardsStrings)
{
    const Identity tallowmere{"TALLOWMERE", "SK5BN", "2.0"};
    const Identity acme{"Acme", "X1", "1.0"};
    const std::string k40(40, 'P');
    enum Source { kTable, kSearch, kCommand };  // where the strings came from
    const struct { const char* what; sim::json board; Identity expected; Source source; } cases[] = {
        {"padded", identity("\f TALLOWMERE \r", "\vP\t", " \t\n"), {"TALLOWMERE", "P", ""}, kTable},
        {"maker name in any case", identity("tallowMere"), {"tallowMere", "SK5BN", "2.0"}, kTable},
        {"maker record elsewhere", acme_and("0xFE100", 2, {"Tallowmere Inc.", "SK5BN-F", "1.1"}),
         {"Tallowmere Inc.", "SK5BN-F", "1.1"}, kSearch},
        {"upper-case record elsewhere", acme_and("0xFF800", 2, {"TALLOWMERE", "K9", "3"}), {"TALLOWMERE", "K9", "3"},
         kSearch},
        // The search looks back for the record's start within the window only.
        {"record at a window start", acme_and("0xFE000", 2, {"Tallowmere"}), acme, kSearch},
        {"maker name in another type", acme_and("0xFE000", 3, {"Tallowmere"}), acme, kSearch},
        {"string numbers zero", records({{{"type", 2}, {"formatted", {0, 0, 0, 0}}, {"strings", {"TALLOWMERE", "P"}}}}),
         {"TALLOWMERE", "TALLOWMERE", "TALLOWMERE"}, kTable},
        {"string number past the set",
         records({{{"type", 2}, {"formatted", {1, 5, 2, 0}}, {"strings", {"TALLOWMERE", "V2"}}}}),
         {"TALLOWMERE", "", "V2"}, kTable},
        {"record too short for its fields",
         records({{{"type", 2}, {"formatted", {1}}, {"strings", {"TALLOWMERE", "P"}}}}), {"TALLOWMERE", "", ""}, kTable},
        {"forty-character product", identity("TALLOWMERE", k40.c_str()), {"TALLOWMERE", std::string(29, 'P'), "2.0"},
         kTable},
        {"no anchor, no dmidecode", {{"dmi", {{"entry_point", false}, {"dmidecode", false}}}}, {}, kCommand},
        {"first table without base board",
         tallowmere_and({{"memory", {{"bytes", {{"0xF0000", entry_point(18, 0xF2000, 3)},
                                                {"0xF2000", {0, 4, 0, 0, 0, 0, 1, 4, 1, 0, 0, 0, 3, 4, 2, 0, 0, 0}}}}}}}),
         tallowmere, kTable},
        // Tables that lie: the walk stops at the lie, and what is left is the fallback.
        {"count past the table", tallowmere_and({{"dmi", {{"structure_count", 900}}}}), tallowmere, kTable},
        {"count short of the base board", tallowmere_and({{"dmi", {{"structure_count", 2}}}}), tallowmere, kCommand},
        {"length short of the base board", tallowmere_and({{"dmi", {{"table_length", 30}}}}), tallowmere, kCommand},
        {"formatted length past the table",
         tallowmere_and(records({{{"type", 0}, {"length", 250}, {"strings", {"x"}}}, {{"type", 2}}})), tallowmere,
         kCommand},
        {"formatted length below the header", tallowmere_and(records({{{"type", 0}, {"length", 0}}, {{"type", 2}}})),
         tallowmere, kCommand},
        {"strings without terminator",
         records({{{"raw", {2, 8, 0, 0, 1, 2, 3, 0, 'T', 'A', 'L'}}}}, {{"table_length", 11}, {"dmidecode", false}}),
         {}, kSearch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boot_board(c.board);
        CaptureStderr();
        EXPECT_EQ(identify(), c.expected);
        GetCapturedStderr();
        EXPECT_EQ(search_windows() > 0, c.source == kSearch);
        EXPECT_EQ(trace("command").size(), c.source == kCommand ? 3u : 0u);
    }
}

TEST_F(BoardIdentity, UnreadableMemoryLeavesTheBuffersEmptyWithoutFallback)
{
    for (const auto& [memory, message] : {std::pair{sim::json{{"dev_mem", "none"}}, "Error: open (\"/dev/mem\")\n"},
                                          std::pair{sim::json{{"mappable", false}}, "Error: mmap\n"}}) {
        SCOPED_TRACE(message);
        boot_board(tallowmere_and({{"memory", memory}}));
        CaptureStderr();
        EXPECT_EQ(identify(), Identity{});
        EXPECT_EQ(GetCapturedStderr(), message);
        EXPECT_THAT(trace("command"), IsEmpty());
    }
}

TEST_F(BoardIdentity, SearchFindsTheRecordThroughItsStringsAndReportsWindowsItCannotMap)
{
    boot_board({{"dmi", {{"entry_point", false}, {"elsewhere", elsewhere("0xFE100", 2, {"T Inc.", "SK5BN-F", "1.1"})}}}});
    const auto record = search_string_in_dmi_type_2("SK5BN-F", 0xF0000, 0xFFFFF);
    ASSERT_TRUE(record);
    EXPECT_EQ((*record)[0], 2);
    EXPECT_EQ(board_strings(*record).product, "SK5BN-F");
    EXPECT_FALSE(search_string_in_dmi_type_2("SK5BN-F", 0xFF000, 0xFFFFF)) << "starts past the record";
    EXPECT_FALSE(search_string_in_dmi_type_2("SK5BN-F", 0xFE000, 0xFE000)) << "an empty range";

    boot_board({{"memory", {{"mappable", false}}}});
    CaptureStderr();
    EXPECT_FALSE(search_string_in_dmi_type_2("Tallowmere", 0xF0000, 0xFFFFF));
    EXPECT_EQ(GetCapturedStderr(), "\tCan't map address 000F0000\n");
}

TEST_F(BoardIdentity, CommandOutputLosesOneNewlineAndIsCutToTheBuffer)
{
    boot_board(identity("TALLOWMERE", std::string(40, 'P').c_str()));
    char out[kIdentitySize] = "untouched";
    EXPECT_EQ(get_cmd_output("", out), -1);
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(get_cmd_output("dmidecode|grep -i 'DMI type 2,' -A 6 | grep Version | sed 's/Version: //g'", out), 0);
    EXPECT_STREQ(out, "\t2.0");
    EXPECT_EQ(get_cmd_output("dmidecode|grep -i 'DMI type 2,' -A 6 | grep Product | sed 's/Product Name: //g'", out), 0);
    EXPECT_EQ(std::string(out), "\t" + std::string(28, 'P'));
    EXPECT_EQ(get_cmd_output("dmidecode|grep -i 'DMI type 2,' -A 1", out, 8), 0);
    EXPECT_STREQ(out, "Handle ");
}

// --- The layout, on hand-made bytes (the table walk's own cases are the boards' above) ---

std::vector<uint8_t> bytes(std::initializer_list<int> list) { return {list.begin(), list.end()}; }

TEST(DmiTable, EntryPointNeedsTheAnchorAndAllItsFields)
{
    const auto ep = parse_entry_point(bytes({'_', 'D', 'M', 'I', '_', 0, 0x34, 0x12, 0x00, 0x10, 0x0F, 0x00, 7, 0, 0x26, 0}));
    ASSERT_TRUE(ep);
    EXPECT_EQ(ep->table_length, 0x1234);
    EXPECT_EQ(ep->table_address, 0xF1000u);
    EXPECT_EQ(ep->structure_count, 7);
    EXPECT_FALSE(parse_entry_point(bytes({'_', 'D', 'M', 'I', '_', 0, 0x34, 0x12, 0x00})));
    EXPECT_FALSE(parse_entry_point(bytes({'_', 'S', 'M', '_', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})));
}

TEST(DmiTable, TextSearchStepsBackToTheRecordAfterADoubleNul)
{
    const auto window = bytes({'x', 0, 0, 2, 8, 1, 0, 1, 2, 3, 0, 'A', 'c', 'm', 'e', 0, 'T', 'a', 'l', 'l', 'o', 'w',
                               'm', 'e', 'r', 'e', 0, 0, 3, 4, 0, 0, 'T', 'a', 'l', 'l', 'o', 'w', 'm', 'e', 'r', 'e', 0});
    EXPECT_EQ(find_type2_with_text(window, 0, "Tallowmere"), 3u);
    EXPECT_EQ(find_type2_with_text(window, 0, "Acme"), 3u);
    EXPECT_FALSE(find_type2_with_text(window, 17, "Tallowmere")) << "past the record only a type-3 one holds it";
    EXPECT_FALSE(find_type2_with_text(bytes({2, 'T', 'a', 'l', 'l', 'o', 'w', 'm', 'e', 'r', 'e', 0}), 0, "Tallowmere"))
        << "no double NUL before it in the window";
    EXPECT_FALSE(find_type2_with_text(bytes({0, 0, 2, 'T', 'a', 'l'}), 0, "Tal")) << "a string without its NUL";
}

}  // namespace
}  // namespace qv::test
