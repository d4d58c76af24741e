// The first fill and the polling tick, and the Summary page.
#include "gui/pages.h"

#include "gui/alerts.h"
#include "gui/globals.h"
#include "gui/gnome/gnome.h"
#include "gui/support.h"
#include "profile/loader.h"
#include "sensors/convert.h"
#include "sensors/poll.h"
#include "sensors/reading.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qv {

namespace {

// Headings in orange; the curves, insensitive for good, draw in light blue.
void apply_text_style(GtkWidget* app1)
{
    GtkRcStyle* style = gtk_rc_style_new();
    style->fg[GTK_STATE_NORMAL] = Orange;
    style->fg[GTK_STATE_INSENSITIVE] = LightBlue;
    style->color_flags[GTK_STATE_NORMAL] = GtkRcFlags(style->color_flags[GTK_STATE_NORMAL] | GTK_RC_FG);
    style->color_flags[GTK_STATE_INSENSITIVE] = GtkRcFlags(style->color_flags[GTK_STATE_INSENSITIVE] | GTK_RC_FG);
    for (const Category& c : kSummaryCategories) {
        gtk_widget_modify_style(lookup_widget(app1, SlotName("labelSummary", c.name)), style);
        if (c.category == SWITCH) continue;
        for (int slot = 0; slot < c.summary_slots; ++slot)
            gtk_widget_modify_style(lookup_widget(app1, SlotName("curve", c.name, "", slot)), style);
    }
    gtk_rc_style_unref(style);
}

std::string summary_value(const ItemDisplay& d)
{
    char text[64];
    switch (d.category) {
    case FAN: std::snprintf(text, sizeof text, "%d RPM", d.reading); break;
    case VOLTAGE:
        if (d.reading == 0) std::snprintf(text, sizeof text, "%d", d.reading);
        else std::snprintf(text, sizeof text, "%.2f V", d.reading / 1000.0);
        break;
    case TEMP: return temperature_text(d);
    default: return d.reading == 1 ? "Bad" : "Good";
    }
    return text;
}

void hide_summary_frame(GtkWidget* app1)
{
    for (const Category& c : kSummaryCategories) {
        gtk_widget_hide(lookup_widget(app1, SlotName("labelSummary", c.name)));
        gtk_widget_hide(lookup_widget(app1, SlotName("imageSummary", c.name)));
        if (c.category != SWITCH) gtk_widget_hide(lookup_widget(app1, SlotName("hseparatorSummary", c.name)));
    }
}

void fill_summary_slot(GtkWidget* app1, const Category& c, int slot, const ItemDisplay& d)
{
    GtkWidget* label = lookup_widget(app1, SlotName("labelSummary", c.name, "", slot));
    gtk_label_set_text(GTK_LABEL(label), d.name);
    gtk_widget_show(label);
    GtkWidget* button = lookup_widget(app1, SlotName("buttonSummary", c.name, "", slot));
    // A new label text rebuilds the button's child: only when the text changed.
    const std::string value = summary_value(d);
    const char* old = gtk_button_get_label(GTK_BUTTON(button));
    if (old == nullptr || value != old) g_object_set(button, "label", value.c_str(), nullptr);
    gtk_widget_show(button);
    if (c.category == SWITCH) gtk_widget_set_sensitive(button, TRUE);
    if (isNormalReading(d) == 0) gtk_widget_show(lookup_widget(app1, SlotName("imageSummary", c.name)));
}

void show_summary_frame(GtkWidget* app1, const int (&counts)[4])
{
    for (const Category& c : kSummaryCategories) {
        for (int slot = counts[c.category]; slot < c.summary_slots; ++slot) {
            gtk_widget_hide(lookup_widget(app1, SlotName("labelSummary", c.name, "", slot)));
            gtk_widget_hide(lookup_widget(app1, SlotName("buttonSummary", c.name, "", slot)));
        }
        if (counts[c.category] > 0) gtk_widget_show(lookup_widget(app1, SlotName("labelSummary", c.name)));
    }
    // A separator only between two shown tables.
    for (int above = FAN; above < SWITCH; ++above) {
        const bool below = std::any_of(counts + above + 1, counts + 4, [](int n) { return n > 0; });
        if (counts[above] > 0 && below)
            gtk_widget_show(lookup_widget(app1, SlotName("hseparatorSummary", kSummaryCategories[above].name)));
    }
}

void read_all_items(const LoadedProfile& profile, std::span<ItemDisplay> displays)
{
    const std::size_t count = std::min(displays.size(), profile.items.size());
    for (std::size_t i = 0; i < count; ++i) refresh_item_display(profile, profile.items[i], displays[i]);
}

}  // namespace

std::string temperature_text(const ItemDisplay& d)
{
    if (d.reading == 0) return "N/A";
    if (d.thermalFlag != 0) return std::string(d.thermalText, strnlen(d.thermalText, sizeof d.thermalText));
    char text[64];
    std::snprintf(text, sizeof text, "%d'C / %lld'F", d.reading, static_cast<long long>(fahrenheit(d.reading)));
    return text;
}

void build_Summary(GtkWidget* app1, std::span<ItemDisplay> displays)
{
    static const char* const kOutOfRange[] = {
        " build_Summary(): idxFan out of range. \n",
        " build_Summary(): idxVoltage out of range. \n",
        " build_Summary(): idxThermal out of range. \n",
        " build_Summary(): idxStatus out of range. \n",
    };
    hide_summary_frame(app1);
    int counts[4] = {};
    for (const ItemDisplay& d : displays) {
        if (d.monitor != 1 || d.category < FAN || d.category > SWITCH) continue;
        const Category& c = kSummaryCategories[d.category];
        int& n = counts[d.category];
        if (n == c.summary_slots) {
            g_print("%s", kOutOfRange[d.category]);
            return;
        }
        fill_summary_slot(app1, c, n, d);
        ++n;
    }
    show_summary_frame(app1, counts);
}

void build_All(GtkWidget* app1, std::span<ItemDisplay> displays, const LoadedProfile& profile)
{
    allItemDisps = displays;
    vectorFan.fill(0);
    vectorVoltage.fill(0);
    vectorThermal.fill(0);
    apply_text_style(app1);
    build_Summary(app1, displays);
    build_Fan(app1, displays);
    build_Voltage(app1, displays);
    build_Thermal(app1, displays);
    build_Items(app1, displays, profile);
    start_alert_list();
    build_Alert(app1, *profile.system, displays);
    gnome_appbar_push(GNOME_APPBAR(lookup_widget(app1, "appbar1")), "Ready");
}

gboolean updateAll(gpointer)
{
    GtkWidget* app1 = myapp1;
    const LoadedProfile& profile = *myspQuorvel;
    std::span<ItemDisplay> displays = allItemDisps;
    begin_item_poll();
    read_all_items(profile, displays);
    build_Summary(app1, displays);
    build_Fan(app1, displays);
    build_Voltage(app1, displays);
    build_Thermal(app1, displays);
    build_Items(app1, displays, profile);
    build_Alert(app1, *profile.system, displays);
    return TRUE;
}

gboolean polling_tick(gpointer data)
{
    // A skipped tick keeps the last values on the pages; the next tries again.
    const PollLock lock;
    return lock ? updateAll(data) : TRUE;
}

}  // namespace qv
