// State of the window mode, shared by the constructors, the pages and the handlers.
// Everything here is made once at start-up and lives until the process ends.
#pragma once

#include "sensors/item_display.h"

#include <gtk/gtk.h>

#include <array>
#include <span>

namespace qv {

extern GtkWidget* myapp1;
extern GtkWidget* mywindowAlertMessage;  // may be empty
extern GtkWidget* myabout2;              // empty while no about box exists

extern GtkListStore* list_store;
extern GtkWidget* treeview1;
extern GtkCellRenderer* text_renderer;
extern GtkTreeViewColumn* checked_column;
extern GtkTreeViewColumn* monitored_item_column;
extern GtkTreeViewColumn* high_limit_column;
extern GtkTreeViewColumn* low_limit_column;
extern GtkTreeViewColumn* status_column;
extern GtkTreeViewColumn* warning_column;

extern int timer;  // id of the polling timeout, 0 while there is none

extern std::span<ItemDisplay> allItemDisps;

// Reading histories: 100 samples a series, the newest last.
inline constexpr int kSamples = 100;
inline constexpr int kFanSeries = 16;
inline constexpr int kVoltageSeries = 60;
inline constexpr int kThermalSeries = 16;
extern std::array<float, kFanSeries * kSamples> vectorFan;
extern std::array<float, kVoltageSeries * kSamples> vectorVoltage;
extern std::array<float, kThermalSeries * kSamples> vectorThermal;

extern const GdkColor Orange;
extern const GdkColor LightBlue;

}  // namespace qv
