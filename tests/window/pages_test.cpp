// What the Summary and chart pages show for what the items read.
#include "window_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

class Pages : public WindowTest {
protected:
    float newest(const float* history, int series) { return history[series * kSamples + kSamples - 1]; }
};

TEST_F(Pages, HeadingsAndSeparatorsOnlyBetweenShownTables)
{
    show({shown("Fan A", FAN, 3000, 0, 1000), shown("Temp A", TEMP, 40, 75), shown("Fan B", FAN, 3100, 0, 1000),
          shown("Fan C", FAN, 3200, 0, 1000), shown("Temp B", TEMP, 41, 75), shown("Intrusion", SWITCH, 0)});
    struct Expect { const char* name; bool visible; };
    const Expect expects[] = {
        {"labelSummaryFan", true},          {"labelSummaryVoltage", false},     {"labelSummaryThermal", true},
        {"labelSummaryStatus", true},       {"hseparatorSummaryFan", true},     {"hseparatorSummaryVoltage", false},
        {"hseparatorSummaryThermal", true}, {"buttonSummaryFan2", true},        {"buttonSummaryFan3", false},
        {"labelSummaryThermal1", true},     {"labelSummaryThermal2", false},    {"buttonSummaryStatus0", true},
        {"imageSummaryFan", false},         {"hseparatorFan0", true},           {"hseparatorFan1", true},
        {"hseparatorFan2", false},          {"curveFan2", true},                {"curveFan3", false},
        {"labelFan3", false},               {"hseparatorThermal1", false},      {"labelVoltage0", false},
    };
    for (const Expect& e : expects) EXPECT_EQ(visible(e.name), e.visible) << e.name;
    EXPECT_EQ(text("labelSummaryFan1"), "Fan B");
    EXPECT_EQ(text("buttonSummaryFan1"), "3100 RPM");
    EXPECT_EQ(text("labelFanLimit2"), "Low Limit: 1000 RPM");
    EXPECT_EQ(text("labelFanReading2"), "3200 RPM");
    EXPECT_EQ(text("labelThermalLimit0"), "High Limit: 75'C / 167'F");
}

TEST_F(Pages, ValueTexts)
{
    ItemDisplay level = shown("CPU1 Temperature", TEMP, 52, 95);
    level.thermalFlag = 1;
    set_text(level.thermalText, "Medium");
    show({shown("Zero V", VOLTAGE, 0, 1320, 1080), shown("Vcore", VOLTAGE, 1104, 1400, 800),
          shown("Zero T", TEMP, 0, 75), shown("Cold", TEMP, -5, 75), level, shown("Intrusion", SWITCH, 1),
          shown("PSU", SWITCH, 2)});
    struct Expect { const char* widget; const char* text; };
    const Expect expects[] = {
        {"buttonSummaryVoltage0", "0"},
        {"labelVoltageReading0", "0.00 V"},
        {"buttonSummaryVoltage1", "1.10 V"},
        {"labelVoltageLimit1", "High Limit: 1.40 V    Low Limit: 0.80 V"},
        {"buttonSummaryThermal0", "N/A"},
        {"labelThermalReading0", "N/A"},
        {"buttonSummaryThermal1", "-5'C / 23'F"},
        {"labelThermalReading1", "-5'C / 23'F"},
        {"buttonSummaryThermal2", "Medium"},
        {"labelThermalReading2", "Medium"},
        {"buttonSummaryStatus0", "Bad"},
        {"buttonSummaryStatus1", "Good"},
    };
    for (const Expect& e : expects) EXPECT_EQ(text(e.widget), e.text) << e.widget;
    // The level is shown, the number charted.
    EXPECT_EQ(newest(vectorThermal.data(), 2), 52.0f);
}

TEST_F(Pages, AbnormalItemsShowTheirErrorImages)
{
    show({shown("Slow fan", FAN, 900, 0, 1000), shown("Good V", VOLTAGE, 1100, 1400, 800),
          shown("Hot", TEMP, 80, 75), shown("Intrusion", SWITCH, 0)});
    struct Expect { const char* name; bool visible; };
    for (const Expect e : {Expect{"imageSummaryFan", true}, Expect{"imageFan0", true}, Expect{"imageSummaryVoltage", false},
                           Expect{"imageVoltage0", false}, Expect{"imageSummaryThermal", true},
                           Expect{"imageThermal0", true}, Expect{"imageSummaryStatus", false}})
        EXPECT_EQ(visible(e.name), e.visible) << e.name;
}

TEST_F(Pages, SeriesFollowTheItemsPlaceNotItsSlot)
{
    show({shown("Fan 1", FAN, 1111, 0, 100), shown("Off", FAN, 2222, 0, 100, 0), shown("Fan 3", FAN, 3333, 0, 100)});
    EXPECT_EQ(text("labelFan1"), "Fan 3");
    EXPECT_EQ(newest(vectorFan.data(), 0), 1111.0f);
    EXPECT_EQ(newest(vectorFan.data(), 1), 0.0f);
    EXPECT_EQ(newest(vectorFan.data(), 2), 3333.0f);
    // Switching the middle one on moves the third to slot 2, its history with it.
    displays_[1].monitor = 1;
    redraw();
    EXPECT_EQ(text("labelFan2"), "Fan 3");
    EXPECT_EQ(vectorFan[2 * kSamples + kSamples - 2], 3333.0f);
    EXPECT_EQ(newest(vectorFan.data(), 1), 2222.0f);
}

TEST_F(Pages, MoreItemsThanSlotsStopAtTheLastSlot)
{
    std::vector<ItemDisplay> displays{shown("Fan 0", FAN, 1000, 0, 100, 0)};
    for (int i = 1; i <= 17; ++i) displays.push_back(shown(("Fan " + std::to_string(i)).c_str(), FAN, 1000 + i, 0, 100));
    for (int i = 0; i < 61; ++i)
        displays.push_back(shown(("Volt " + std::to_string(i)).c_str(), VOLTAGE, 1000 + i, 2000, 500));
    CaptureStdout();
    show(displays);
    const std::string out = GetCapturedStdout();
    EXPECT_NE(out.find(" build_Summary(): idxFan out of range. \n"), std::string::npos);
    EXPECT_NE(out.find(" build_Fan(): idxMonitingFan out of range. \n"), std::string::npos);
    EXPECT_NE(out.find(" build_Voltage(): idxMonitingVoltage out of range. \n"), std::string::npos);
    EXPECT_EQ(text("labelFan15"), "Fan 16");
    EXPECT_EQ(text("labelVoltage59"), "Volt 59");
    // The Summary stopped at the seventeenth fan: its voltages were never filled.
    EXPECT_EQ(text("labelSummaryVoltage0"), "labelSummaryVoltage0");
    // Fan 16 is the seventeenth fan: past the last series, so it is charted flat.
    EXPECT_EQ(newest(vectorFan.data(), 15), 1015.0f);
    EXPECT_EQ(newest(vectorVoltage.data(), 59), 1059.0f);
}

TEST_F(Pages, FullHistoriesShiftOldestOut)
{
    float series[kSamples] = {};
    for (int i = 0; i < 150; ++i) vector_append(series, static_cast<float>(i));
    EXPECT_EQ(series[0], 50.0f);
    EXPECT_EQ(series[kSamples - 1], 149.0f);
}

}  // namespace
}  // namespace qv::test
