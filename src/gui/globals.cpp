#include "gui/globals.h"

namespace qv {

GtkWidget* myapp1 = nullptr;
GtkWidget* mywindowAlertMessage = nullptr;
GtkWidget* myabout2 = nullptr;

GtkListStore* list_store = nullptr;
GtkWidget* treeview1 = nullptr;
GtkCellRenderer* text_renderer = nullptr;
GtkTreeViewColumn* checked_column = nullptr;
GtkTreeViewColumn* monitored_item_column = nullptr;
GtkTreeViewColumn* high_limit_column = nullptr;
GtkTreeViewColumn* low_limit_column = nullptr;
GtkTreeViewColumn* status_column = nullptr;
GtkTreeViewColumn* warning_column = nullptr;

int timer = 0;

std::span<ItemDisplay> allItemDisps;

std::array<float, kFanSeries * kSamples> vectorFan{};
std::array<float, kVoltageSeries * kSamples> vectorVoltage{};
std::array<float, kThermalSeries * kSamples> vectorThermal{};

const GdkColor Orange = {0, 65535, 32768, 0};
const GdkColor LightBlue = {0, 0, 32768, 65535};

}  // namespace qv
