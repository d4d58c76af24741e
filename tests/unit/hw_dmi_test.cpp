// Board identity from the DMI tables: the base-board record, the forced search for the
// maker's record, the dmidecode fallback, and tables that lie.
#include "hw/dmi.h"
#include "support/hw_fixture.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace qv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Identity {
    std::string vendor, product, version;
    bool operator==(const Identity&) const = default;
    friend void PrintTo(const Identity& i, std::ostream* os)
    {
        *os << "{" << i.vendor << "|" << i.product << "|" << i.version << "}";
    }
};

sim::json identity(const char* vendor, const char* product = "SK5BN", const char* version = "2.0")
{
    return {{"vendor", vendor}, {"product", product}, {"version", version}};
}

// An entry point as firmware lays it out, for boards with more than one.
sim::json entry_point(unsigned length, unsigned address, unsigned count)
{
    return {0x5F, 0x44, 0x4D, 0x49, 0x5F, 0, length & 0xFF, length >> 8, address & 0xFF, (address >> 8) & 0xFF,
            (address >> 16) & 0xFF, address >> 24, count & 0xFF, count >> 8};
}

const sim::json kMakerElsewhere = {
    {"address", "0xFE100"}, {"type", 2}, {"strings", {"Tallowmere Inc.", "SK5BN-F", "1.1"}}};

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

struct IdentityCase {
    const char* what;
    sim::json board;
    Identity expected;
    bool forced;      // the maker's record was searched for
    bool dmidecode;   // the three commands were run
    friend void PrintTo(const IdentityCase& c, std::ostream* os) { *os << c.what; }
};

class IdentityCases : public BoardIdentity, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(IdentityCases, GiveTheBoardsStrings)
{
    boot_board(GetParam().board);
    testing::internal::CaptureStderr();
    EXPECT_EQ(identify(), GetParam().expected);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(search_windows() > 0, GetParam().forced);
    EXPECT_EQ(trace("command").size(), GetParam().dmidecode ? 3u : 0u);
}

const std::string k40(40, 'P');

INSTANTIATE_TEST_SUITE_P(
    Boards, IdentityCases,
    ::testing::Values(
        IdentityCase{"padded_maker_name", {{"identity", identity("  TALLOWMERE \r", " SK5BN\t", "2.0\n")}},
                     {"TALLOWMERE", "SK5BN", "2.0"}, false, false},
        IdentityCase{"maker_name_in_any_case", {{"identity", identity("tallowMere")}}, {"tallowMere", "SK5BN", "2.0"},
                     false, false},
        IdentityCase{"other_vendor_maker_record_elsewhere",
                     {{"identity", identity("Acme", "X1", "1.0")}, {"dmi", {{"elsewhere", {kMakerElsewhere}}}}},
                     {"Tallowmere Inc.", "SK5BN-F", "1.1"}, true, false},
        IdentityCase{"other_vendor_upper_case_record_elsewhere",
                     {{"identity", identity("Acme", "X1", "1.0")},
                      {"dmi", {{"elsewhere", {{{"address", "0xFF800"}, {"type", 2},
                                               {"strings", {"TALLOWMERE", "K9", "3"}}}}}}}},
                     {"TALLOWMERE", "K9", "3"}, true, false},
        // The search looks back for the record's start within the window only.
        IdentityCase{"maker_record_at_a_window_start",
                     {{"identity", identity("Acme", "X1", "1.0")},
                      {"dmi", {{"elsewhere", {{{"address", "0xFE000"}, {"type", 2}, {"strings", {"Tallowmere"}}}}}}}},
                     {"Acme", "X1", "1.0"}, true, false},
        IdentityCase{"maker_name_in_a_record_of_another_type",
                     {{"identity", identity("Acme", "X1", "1.0")},
                      {"dmi", {{"elsewhere", {{{"address", "0xFE000"}, {"type", 3}, {"strings", {"Tallowmere"}}}}}}}},
                     {"Acme", "X1", "1.0"}, true, false},
        IdentityCase{"other_vendor_nowhere_else", {{"identity", identity("Acme", "X1", "1.0")}}, {"Acme", "X1", "1.0"},
                     true, false},
        IdentityCase{"string_numbers_zero",
                     {{"dmi", {{"records", {{{"type", 2}, {"formatted", {0, 0, 0, 0}},
                                             {"strings", {"TALLOWMERE", "P", "V"}}}}}}}},
                     {"TALLOWMERE", "TALLOWMERE", "TALLOWMERE"}, false, false},
        IdentityCase{"string_number_past_the_set",
                     {{"dmi", {{"records", {{{"type", 2}, {"formatted", {1, 5, 2, 0}}, {"strings", {"TALLOWMERE", "V2"}}}}}}}},
                     {"TALLOWMERE", "", "V2"}, false, false},
        IdentityCase{"forty_character_product", {{"identity", identity("TALLOWMERE", k40.c_str())}},
                     {"TALLOWMERE", std::string(29, 'P'), "2.0"}, false, false},
        IdentityCase{"no_anchor_asks_dmidecode",
                     {{"identity", identity("TALLOWMERE", "SK5BN", "2.0")}, {"dmi", {{"entry_point", false}}}},
                     {"TALLOWMERE", "SK5BN", "2.0"}, false, true},
        IdentityCase{"no_anchor_no_dmidecode", {{"dmi", {{"entry_point", false}, {"dmidecode", false}}}}, {}, false,
                     true},
        IdentityCase{"first_table_without_base_board",
                     {{"identity", identity("TALLOWMERE")},
                      {"memory", {{"bytes", {{"0xF0000", entry_point(18, 0xF2000, 3)},
                                             {"0xF2000", {0, 4, 0, 0, 0, 0, 1, 4, 1, 0, 0, 0, 3, 4, 2, 0, 0, 0}}}}}}},
                     {"TALLOWMERE", "SK5BN", "2.0"}, false, false},
        // Tables that lie: the walk stops at the lie, and what is left is the fallback.
        IdentityCase{"count_past_the_table", {{"identity", identity("TALLOWMERE")}, {"dmi", {{"structure_count", 900}}}},
                     {"TALLOWMERE", "SK5BN", "2.0"}, false, false},
        IdentityCase{"count_stops_before_the_base_board",
                     {{"identity", identity("TALLOWMERE")}, {"dmi", {{"structure_count", 2}}}},
                     {"TALLOWMERE", "SK5BN", "2.0"}, false, true},
        IdentityCase{"length_stops_before_the_base_board",
                     {{"identity", identity("TALLOWMERE")}, {"dmi", {{"table_length", 30}}}},
                     {"TALLOWMERE", "SK5BN", "2.0"}, false, true},
        IdentityCase{"formatted_length_past_the_table",
                     {{"identity", identity("TALLOWMERE")},
                      {"dmi", {{"records", {{{"type", 0}, {"length", 250}, {"strings", {"x"}}}, {{"type", 2}}}}}}},
                     {"TALLOWMERE", "SK5BN", "2.0"}, false, true},
        IdentityCase{"formatted_length_below_the_header",
                     {{"identity", identity("TALLOWMERE")},
                      {"dmi", {{"records", {{{"type", 0}, {"length", 0}}, {{"type", 2}}}}}}},
                     {"TALLOWMERE", "SK5BN", "2.0"}, false, true},
        IdentityCase{"strings_without_terminator",
                     {{"dmi", {{"records", {{{"raw", {2, 8, 0, 0, 1, 2, 3, 0, 'T', 'A', 'L'}}}}}, {"table_length", 11},
                               {"dmidecode", false}}}},
                     {}, true, false},
        IdentityCase{"base_board_record_too_short_for_its_fields",
                     {{"dmi", {{"records", {{{"type", 2}, {"formatted", {1}}, {"strings", {"TALLOWMERE", "P"}}}}}}}},
                     {"TALLOWMERE", "", ""}, false, false}),
    [](const auto& info) { return std::string(info.param.what); });

struct ReadFailure {
    const char* what;
    sim::json memory;
    const char* message;
    friend void PrintTo(const ReadFailure& c, std::ostream* os) { *os << c.what; }
};

class IdentityReadFailure : public BoardIdentity, public ::testing::WithParamInterface<ReadFailure> {};

TEST_P(IdentityReadFailure, LeavesTheBuffersEmptyWithoutFallback)
{
    boot_board({{"identity", identity("TALLOWMERE")}, {"memory", GetParam().memory}});
    testing::internal::CaptureStderr();
    EXPECT_EQ(identify(), Identity{});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), GetParam().message);
    EXPECT_THAT(trace("command"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Devices, IdentityReadFailure,
                         ::testing::Values(ReadFailure{"unreadable", {{"dev_mem", "none"}}, "Error: open (\"/dev/mem\")\n"},
                                           ReadFailure{"unmappable", {{"mappable", false}}, "Error: mmap\n"}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(BoardIdentity, ForcedSearchNeedsMemoryOpenForWritingOrEndsTheProcess)
{
    boot_board({{"identity", identity("Acme")}, {"memory", {{"dev_mem", "read_only"}}}});
    EXPECT_EXIT(identify(), ::testing::ExitedWithCode(1),
                "^Error at line [0-9]+, file system \\(13\\) \\[Permission denied\\]\n$");
}

TEST_F(BoardIdentity, SearchFindsTheRecordThroughItsStringsAndCopies128Bytes)
{
    boot_board({{"dmi", {{"entry_point", false}, {"elsewhere", {kMakerElsewhere}}}}});
    const auto record = search_string_in_dmi_type_2("SK5BN-F", 0xF0000, 0xFFFFF);
    ASSERT_TRUE(record);
    EXPECT_EQ((*record)[0], 2);
    EXPECT_EQ(board_strings(*record).product, "SK5BN-F");
    EXPECT_FALSE(search_string_in_dmi_type_2("SK5BN-F", 0xFF000, 0xFFFFF)) << "starts past the record";
    EXPECT_FALSE(search_string_in_dmi_type_2("SK5BN-F", 0xFE000, 0xFE000)) << "an empty range";
}

TEST_F(BoardIdentity, SearchReportsAWindowItCannotMap)
{
    boot_board({{"memory", {{"mappable", false}}}});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(search_string_in_dmi_type_2("Tallowmere", 0xF0000, 0xFFFFF));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "\tCan't map address 000F0000\n");
}

TEST_F(BoardIdentity, CommandOutputLosesOneNewlineAndIsCutToTheBuffer)
{
    boot_board({{"identity", identity("TALLOWMERE", k40.c_str())}});
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

// --- The layout, on hand-made bytes -------------------------------------------------

std::vector<uint8_t> bytes(std::initializer_list<int> list)
{
    std::vector<uint8_t> out;
    for (const int b : list) out.push_back(static_cast<uint8_t>(b));
    return out;
}

TEST(DmiTable, WalkSkipsOtherStructuresByLengthAndStringSet)
{
    const auto table = bytes({0, 5, 0, 0, 9, 'a', 0, 'b', 0, 0,              // firmware: two strings
                              1, 4, 1, 0, 0, 0,                              // system: empty set
                              2, 8, 2, 0, 2, 1, 3, 0, 'V', 0, 'P', 0, 'R', 0, 0});
    const auto board = find_board_record(table, 3);
    ASSERT_TRUE(board);
    EXPECT_EQ(board->vendor, "P");
    EXPECT_EQ(board->product, "V");
    EXPECT_EQ(board->version, "R");
    EXPECT_FALSE(find_board_record(table, 2));
    EXPECT_FALSE(find_board_record(std::span(table).first(20), 3)) << "the base board lies past the length";
    EXPECT_FALSE(find_board_record(bytes({0, 5, 0, 0, 9, 'a', 'b'}), 5)) << "a string set without its end";
    EXPECT_FALSE(find_board_record({}, 10));
}

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

TEST(Trim, RemovesTheSixWhiteCharactersAtBothEnds)
{
    EXPECT_EQ(trim(" \f\n\r\t\vTALLOWMERE Inc \t\r\n"), "TALLOWMERE Inc");
    EXPECT_EQ(trim(" \t "), "");
    EXPECT_EQ(trim(""), "");
    EXPECT_EQ(trim("a"), "a");
}

TEST(HexDump, PrintsWholeRowsWithPlaceholdersOutsideTheRange)
{
    alignas(16) const uint8_t buffer[32] = {0, 0, 'A', 'z', '{', 0x7F, 0x20};
    testing::internal::CaptureStdout();
    dump_hex_char(buffer + 2, buffer + 6);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, ::testing::EndsWith(": __ __ 41 7A 7B 7F 20 __ __ __ __ __ __ __ __ __      Az.." +
                                         std::string(10, ' ')));
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
}

}  // namespace
}  // namespace qv::test
