// The three output formats from hand-made polls: units, escaping, failed reads, the
// families' order, the Nagios status order.
#include "export/formats.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <set>
#include <sstream>

namespace qv::exporter {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

ItemSample sample(const char* name, int32_t category, int32_t reading, int32_t low, int32_t high, bool read = true)
{
    ItemDisplay d{
        .category = category, .chipCode = 28, .reading = reading, .highLimit = high, .lowLimit = low, .monitor = 1};
    set_text(d.name, name);
    return make_sample(d, read);
}

Snapshot poll(std::vector<ItemSample> items) { return {{"TALLOWMERE", "SK5BN", "2.0"}, 1700000000, std::move(items)}; }

TEST(LabelValue, EscapesBackslashQuoteAndNewlineOnly)
{
    EXPECT_EQ(escape_label_value("a\\b\"c\nd'e{f}"), "a\\\\b\\\"c\\nd'e{f}");
}

TEST(OpenMetricsText, BaseUnitsLimitsNoValueForAFailedReadNamesakesApartAndFamiliesWhole)
{
    const std::string text = openmetrics_text(poll({sample("Vcore", VOLTAGE, 1205, 800, 1400),
                                                    sample("CPU FAN", FAN, 900, 1000, 0, false),
                                                    sample("Inlet", TEMP, 26, 0, 45), sample("Latch", SWITCH, 0, 0, 0),
                                                    sample("Vcore", VOLTAGE, 1100, 800, 1400)}));
    EXPECT_THAT(text, HasSubstr("quorvel_voltage_volts{name=\"Vcore\",chip=\"28\"} 1.205\n"
                                "quorvel_voltage_volts{name=\"Vcore\",chip=\"28\",index=\"2\"} 1.1\n"));
    EXPECT_THAT(text, HasSubstr("quorvel_voltage_low_limit_volts{name=\"Vcore\",chip=\"28\"} 0.8\n"));
    EXPECT_THAT(text, HasSubstr("quorvel_temperature_high_limit_celsius{name=\"Inlet\",chip=\"28\"} 45\n"));
    EXPECT_THAT(text, HasSubstr("quorvel_fan_speed_low_limit_rpm{name=\"CPU FAN\",chip=\"28\"} 1000\n"));
    EXPECT_THAT(text, Not(HasSubstr("quorvel_fan_speed_rpm{")));
    EXPECT_THAT(text, Not(HasSubstr("# TYPE quorvel_fan_speed_rpm ")));
    EXPECT_THAT(text, HasSubstr("quorvel_item_normal{name=\"CPU FAN\",chip=\"28\",category=\"fan\"} 0\n"));
    EXPECT_THAT(text, HasSubstr("quorvel_item_normal{name=\"Vcore\",chip=\"28\",category=\"voltage\"} 1\n"));
    // Each family is declared once, as a gauge, and its samples follow it.
    std::set<std::string> declared;
    std::string family;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("# TYPE ")) {
            family = line.substr(7, line.find(' ', 7) - 7);
            EXPECT_TRUE(declared.insert(family).second) << line;
            EXPECT_TRUE(line.ends_with(" gauge")) << line;
        } else if (!line.starts_with("#")) {
            EXPECT_EQ(line.substr(0, line.find('{')), family) << line;
        }
    }
}

TEST(OpenMetricsText, NoItemsIsStillAWholeExposition) { EXPECT_EQ(openmetrics_text(poll({})), "# EOF\n"); }

// Failed reads and the words are compared with the report end to end.
TEST(JsonText, LimitsOnlyWhereTheKindHasThemAndAnyNameBytes)
{
    const auto items = nlohmann::json::parse(json_text(
        poll({sample("FAN \xff", FAN, 900, 1000, 0, false), sample("Inlet", TEMP, 50, 0, 45)})))["items"];
    EXPECT_TRUE(items.at(0).at("high_limit").is_null());
    EXPECT_TRUE(items.at(1).at("low_limit").is_null());
    EXPECT_EQ(items.at(1).at("value"), 50);
}

TEST(NagiosStatus, WorstItemDecides)
{
    const struct { std::vector<ItemSample> items; int status; const char* line; } cases[] = {
        {{sample("+5V", VOLTAGE, 5024, 4512, 5504)}, 0, "QUORVEL OK - 1 items normal | '+5V'=5.024;;;\n"},
        {{sample("it's", FAN, 0, 1000, 0, false), sample("A", SWITCH, 0, 0, 0)}, 1,
         "QUORVEL WARNING - 1 of 2 items not read: it's | 'it''s'=U;;; 'A'=0;;;\n"},
        {{sample("a|b\nc", FAN, 900, 1000, 0), sample("B", FAN, 0, 1000, 0, false)}, 2,
         "QUORVEL CRITICAL - 1 of 2 items abnormal: a b c; not read: B | 'a b c'=900;;; 'B'=U;;;\n"},
        {{}, 3, "QUORVEL UNKNOWN - no monitored items\n"},
    };
    for (const auto& c : cases) {
        const NagiosResult result = nagios_result(poll(c.items));
        EXPECT_EQ(result.status, c.status) << c.line;
        EXPECT_EQ(result.line, c.line);
    }
}

}  // namespace
}  // namespace qv::exporter
