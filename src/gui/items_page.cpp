// The Items page's table: every item of the profile, monitored or not.
#include "gui/globals.h"
#include "gui/pages.h"
#include "gui/support.h"
#include "sensors/convert.h"
#include "sensors/reading.h"

#include <array>
#include <cstdio>

namespace qv {

namespace {

constexpr std::size_t kCellSize = 50;
using Row = std::array<std::array<char, kCellSize>, 6>;

template <typename... Args>
void put(std::array<char, kCellSize>& cell, const char* format, Args... args)
{
    std::snprintf(cell.data(), cell.size(), format, args...);
}

// Quotients in double, then rounded to float before they are printed.
double volts(int32_t millivolts) { return static_cast<float>(millivolts / 1000.0); }

void fill_row(Row& row, const ItemDisplay& d)
{
    put(row[0], "%s", d.monitor != 0 ? "*" : " ");
    put(row[1], "%s", d.name);
    switch (d.category) {
    case FAN:
        put(row[3], "%d", d.lowLimit);
        put(row[4], "%d", d.reading);
        break;
    case VOLTAGE:
        put(row[2], "%.2f", volts(d.highLimit));
        put(row[3], "%.2f", volts(d.lowLimit));
        put(row[4], "%.2f", volts(d.reading));
        break;
    case TEMP:
        put(row[2], "%d/%lld", d.highLimit, static_cast<long long>(fahrenheit(d.highLimit)));
        if (d.reading == 0) put(row[4], "%s", "N/A");
        else if (d.thermalFlag != 0) put(row[4], "%.*s", static_cast<int>(sizeof d.thermalText), d.thermalText);
        else put(row[4], "%d/%lld", d.reading, static_cast<long long>(fahrenheit(d.reading)));
        break;
    case SWITCH: put(row[4], "%s", d.reading == 1 ? "Bad" : "Good"); break;
    default:
        for (int column = 2; column <= 4; ++column) put(row[column], "%s", "unknown");
    }
    if (isNormalReading(d) == 0) put(row[5], "%s", "Warning!");
}

}  // namespace

void build_Items(GtkWidget* app1, std::span<ItemDisplay> displays, const LoadedProfile& profile)
{
    char polling[16];
    std::snprintf(polling, sizeof polling, "%d", static_cast<int>(profile.system->Polling));
    gtk_entry_set_text(GTK_ENTRY(lookup_widget(app1, "entryPolling")), polling);
    if (list_store == nullptr) return;
    gtk_list_store_clear(list_store);
    for (const ItemDisplay& d : displays) {
        Row row{};
        fill_row(row, d);
        GtkTreeIter iter;
        gtk_list_store_append(list_store, &iter);
        gtk_list_store_set(list_store, &iter, 0, row[0].data(), 1, row[1].data(), 2, row[2].data(), 3, row[3].data(),
                           4, row[4].data(), 5, row[5].data(), -1);
        gtk_widget_show(treeview1);
    }
}

}  // namespace qv
