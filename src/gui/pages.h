// The monitoring pages: first fill, one polling tick, and the page builders.
#pragma once

#include "profile/records.h"
#include "sensors/item_display.h"

#include <gtk/gtk.h>

#include <span>
#include <string>

namespace qv {

// One category of the Summary and chart pages: its name in widget names, its Summary
// heading and how many slots its tables have.
struct Category {
    int category;
    const char* name;
    const char* heading;
    int summary_slots;
};
inline constexpr Category kSummaryCategories[] = {
    {FAN, "Fan", "FAN(S)", 16},
    {VOLTAGE, "Voltage", "VOLTAGE(S)", 60},
    {TEMP, "Thermal", "TEMPERATURE(S)", 16},
    {SWITCH, "Status", "STATUS(ES)", 16},
};

// The first fill of every page; remembers displays as allItemDisps.
void build_All(GtkWidget* app1, std::span<ItemDisplay> displays, const LoadedProfile& profile);
// One polling tick: reads every item, redraws every page. Always TRUE.
gboolean updateAll(gpointer data);
// The timer's tick: updateAll while no other poller is at the hardware. Always TRUE.
gboolean polling_tick(gpointer data);

void build_Summary(GtkWidget* app1, std::span<ItemDisplay> displays);
void build_Fan(GtkWidget* app1, std::span<ItemDisplay> displays);
void build_Voltage(GtkWidget* app1, std::span<ItemDisplay> displays);
void build_Thermal(GtkWidget* app1, std::span<ItemDisplay> displays);
void build_Items(GtkWidget* app1, std::span<ItemDisplay> displays, const LoadedProfile& profile);
void build_Alert(GtkWidget* app1, const SystemSection& system, std::span<ItemDisplay> displays);

// The polling timer's period for an interval in seconds; 0 counts as 1.
guint polling_period_ms(uint32_t seconds);

// Shifts a 100-sample series one place older and puts sample last.
void vector_append(float* series, float sample);

// A temperature as the pages show it: "N/A" for 0, the thermal level when the item has
// one, else "%d'C / %d'F".
std::string temperature_text(const ItemDisplay& display);

}  // namespace qv
