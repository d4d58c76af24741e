// The text report's rows: column widths, volts, degrees, switch texts, warnings.
#include "app/report_row.h"
#include "profile/records.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace qv::test {
namespace {

ItemDisplay display(const char* name, int32_t category, int32_t reading, int32_t high = 0, int32_t low = 0)
{
    ItemDisplay d{.category = category, .reading = reading, .highLimit = high, .lowLimit = low, .monitor = 1};
    set_text(d.name, name);
    return d;
}

std::string row(const char* name, const char* high, const char* low, const char* status, bool warn)
{
    char line[200];
    std::snprintf(line, sizeof line, "%-25s %10s %10s %10s %10s\n", name, high, low, status, warn ? "  Warning!" : "");
    return line;
}

struct RowCase { ItemDisplay display; bool read; std::string expected; };

// The edges; the common rows of each category are in the end-to-end reports.
TEST(ReportRow, EachCategoryAsTheColumnsShowIt)
{
    ItemDisplay overheat = display("CPU1 Temperature", TEMP, 40, 95);
    overheat.thermalFlag = 1;
    set_text(overheat.thermalText, "Overheat");
    ItemDisplay placeholder = display("Thermal Trip", SWITCH, 1);
    placeholder.chipCode = 27;

    const RowCase cases[] = {
        {display("+12V", VOLTAGE, 12600, 12600, 11400), true, row("+12V", "12.60", "11.40", "12.60", true)},
        {display("System Temp", TEMP, 0, 75), true, row("System Temp", "75/167", "", "0/32", false)},
        {display("System Temp", TEMP, -1, 75), true, row("System Temp", "75/167", "", "-1/31", false)},
        {display("System Temp", TEMP, -10, 75), true, row("System Temp", "75/167", "", "-10/14", false)},
        {display("System Temp", TEMP, 75, 75), true, row("System Temp", "75/167", "", "75/167", true)},
        {overheat, true, row("CPU1 Temperature", "95/203", "", "Overheat", true)},
        {display("Power Supply", SWITCH, 2), true, row("Power Supply", "", "", "N/A", true)},
        {display("Power Supply", SWITCH, 7), true, row("Power Supply", "", "", "", true)},
        {placeholder, true, row("Thermal Trip", "", "", "Overheat", true)},
    };
    for (const auto& c : cases) EXPECT_EQ(report_row(c.display, c.read), c.expected) << c.display.name;
}

TEST(ReportRow, LongNamesOverflowTheNameColumnButNotTheRecord)
{
    const ItemDisplay d = display("A name of exactly thirty-nine characters", SWITCH, 0);
    const std::string cut = "A name of exactly thirty-nine character";
    EXPECT_EQ(report_row(d, true), row(cut.c_str(), "", "", "Good", false));
    EXPECT_EQ(report_row(d, true).find(cut + "            "), 0u) << "the name runs on past its 25 columns";
}

// Volts are printed without printf; printf of the single-precision quotient is the rule.
TEST(ReportRow, VoltsAsPrintfShowsTheFloat)
{
    auto check = [](int32_t mv) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.2f", static_cast<double>(static_cast<float>(mv / 1000.0)));
        return report_row(display("V", VOLTAGE, mv), true) == row("V", "0.00", "0.00", expected, true);
    };
    int failures = 0;
    for (int32_t mv = -20000; mv <= 20000 && failures < 5; ++mv)
        if (!check(mv)) ADD_FAILURE() << mv << " mV", ++failures;
    // Where the integer path hands over to the float one.
    for (int32_t mv = 9'990'000; mv <= 10'010'000 && failures < 5; ++mv)
        if (!check(mv) || !check(-mv)) ADD_FAILURE() << "+-" << mv << " mV", ++failures;
    for (int64_t mv = INT32_MIN; mv <= INT32_MAX && failures < 5; mv += 99991)
        if (!check(static_cast<int32_t>(mv))) ADD_FAILURE() << mv << " mV", ++failures;
    EXPECT_TRUE(check(INT32_MAX));
    EXPECT_TRUE(check(INT32_MIN));
}

}  // namespace
}  // namespace qv::test
