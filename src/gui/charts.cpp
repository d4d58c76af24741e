// The Fan, Voltage and Thermal chart pages: one slot per monitored item, each with a
// history curve of its last hundred readings.
#include "gui/globals.h"
#include "gui/pages.h"
#include "gui/support.h"
#include "sensors/convert.h"
#include "sensors/reading.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace qv {

namespace {

struct Chart {
    const Category& category;
    float* history;
    int series;  // how many series the history holds
    std::string (*limit_text)(const ItemDisplay&);
    std::string (*reading_text)(const ItemDisplay&);
    const char* out_of_range;
    bool show_curve_first;
};

std::string fan_limit(const ItemDisplay& d)
{
    char text[64];
    std::snprintf(text, sizeof text, "Low Limit: %d RPM", d.lowLimit);
    return text;
}

std::string fan_reading(const ItemDisplay& d)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d RPM", d.reading);
    return text;
}

std::string voltage_limit(const ItemDisplay& d)
{
    char text[96];
    std::snprintf(text, sizeof text, "High Limit: %.2f V    Low Limit: %.2f V", d.highLimit / 1000.0, d.lowLimit / 1000.0);
    return text;
}

std::string voltage_reading(const ItemDisplay& d)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f V", d.reading / 1000.0);
    return text;
}

std::string thermal_limit(const ItemDisplay& d)
{
    char text[64];
    std::snprintf(text, sizeof text, "High Limit: %d'C / %lld'F", d.highLimit,
                  static_cast<long long>(fahrenheit(d.highLimit)));
    return text;
}

// A series for items past the history's end: they are drawn flat, never written.
const std::array<float, kSamples> kNoHistory{};

void hide_slots(GtkWidget* app1, const char* name, int slots)
{
    static const char* const kParts[][2] = {
        {"label", ""}, {"label", "Reading"}, {"label", "Limit"}, {"curve", ""}, {"image", ""}, {"hseparator", ""},
    };
    for (int slot = 0; slot < slots; ++slot)
        for (const auto& part : kParts) gtk_widget_hide(lookup_widget(app1, SlotName(part[0], name, part[1], slot)));
}

void set_label(GtkWidget* app1, const SlotName& name, const std::string& text)
{
    GtkWidget* label = lookup_widget(app1, name);
    gtk_label_set_text(GTK_LABEL(label), text.c_str());
    gtk_widget_show(label);
}

void draw_curve(GtkWidget* curve, const float* samples)
{
    gtk_curve_set_vector(GTK_CURVE(curve), kSamples, const_cast<float*>(samples));
}

void fill_slot(GtkWidget* app1, const Chart& chart, int slot, const ItemDisplay& d, float* series)
{
    const char* name = chart.category.name;
    set_label(app1, SlotName("label", name, "Limit", slot), chart.limit_text(d));
    set_label(app1, SlotName("label", name, "", slot), d.name);
    set_label(app1, SlotName("label", name, "Reading", slot), chart.reading_text(d));

    if (series != nullptr) vector_append(series, static_cast<float>(d.reading));
    const float* samples = series != nullptr ? series : kNoHistory.data();
    GtkWidget* curve = lookup_widget(app1, SlotName("curve", name, "", slot));
    if (chart.show_curve_first) gtk_widget_show(curve);
    draw_curve(curve, samples);
    gtk_widget_show(curve);
    if (isNormalReading(d) == 0) gtk_widget_show(lookup_widget(app1, SlotName("image", name, "", slot)));
}

void build_chart(GtkWidget* app1, std::span<ItemDisplay> displays, const Chart& chart)
{
    const Category& c = chart.category;
    hide_slots(app1, c.name, c.summary_slots);
    int n = 0;
    int series = 0;  // the item's place among all items of the category
    for (const ItemDisplay& d : displays) {
        if (d.category != c.category) continue;
        const int own = series++;
        if (d.monitor != 1) continue;
        if (n == c.summary_slots) {
            g_print("%s", chart.out_of_range);
            return;
        }
        if (n > 0) gtk_widget_show(lookup_widget(app1, SlotName("hseparator", c.name, "", n - 1)));
        float* history = own < chart.series ? chart.history + own * kSamples : nullptr;
        fill_slot(app1, chart, n, d, history);
        ++n;
    }
}

}  // namespace

void vector_append(float* series, float sample)
{
    std::memmove(series, series + 1, (kSamples - 1) * sizeof *series);
    series[kSamples - 1] = sample;
}

void build_Fan(GtkWidget* app1, std::span<ItemDisplay> displays)
{
    static const Chart chart{kSummaryCategories[FAN], vectorFan.data(), kFanSeries, fan_limit, fan_reading,
                             " build_Fan(): idxMonitingFan out of range. \n", false};
    build_chart(app1, displays, chart);
}

void build_Voltage(GtkWidget* app1, std::span<ItemDisplay> displays)
{
    static const Chart chart{kSummaryCategories[VOLTAGE], vectorVoltage.data(), kVoltageSeries, voltage_limit,
                             voltage_reading, " build_Voltage(): idxMonitingVoltage out of range. \n", false};
    build_chart(app1, displays, chart);
}

void build_Thermal(GtkWidget* app1, std::span<ItemDisplay> displays)
{
    static const Chart chart{kSummaryCategories[TEMP], vectorThermal.data(), kThermalSeries, thermal_limit,
                             temperature_text, " build_Thermal(): idxMonitingThermal out of range. \n", true};
    build_chart(app1, displays, chart);
}

}  // namespace qv
