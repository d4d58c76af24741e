// The Items page: which items are monitored, and how often all are read.
#include "gui/alerts.h"
#include "gui/callbacks.h"
#include "gui/globals.h"
#include "gui/pages.h"
#include "gui/save.h"
#include "gui/support.h"
#include "profile/loader.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace qv {

namespace {

// Both places hold the flag: the profile record for saving, the display for the pages.
void set_monitor(std::size_t i, int32_t monitor)
{
    myspQuorvel->items[i].Monitor = monitor;
    if (i < allItemDisps.size()) allItemDisps[i].monitor = monitor;
}

void monitor_all(int32_t monitor)
{
    for (std::size_t i = 0; i < myspQuorvel->items.size(); ++i) set_monitor(i, monitor);
    updateAll(nullptr);
}

void refuse_interval(GtkEditable* entry)
{
    gtk_entry_set_text(GTK_ENTRY(entry), "0");
    gtk_widget_grab_focus(GTK_WIDGET(entry));
    show_message("Please enter an integer between 1 and 300.");
}

}  // namespace

void on_treeview1_row_activated(GtkTreeView* view, GtkTreePath*, GtkTreeViewColumn*, gpointer)
{
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(view), &model, &iter)) return;
    gchar* name = nullptr;
    gtk_tree_model_get(model, &iter, 1, &name, -1);
    const auto& items = myspQuorvel->items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (name == nullptr || std::strcmp(items[i].Name, name) != 0) continue;
        set_monitor(i, items[i].Monitor == 1 ? 0 : 1);
        g_free(name);
        updateAll(nullptr);
        return;
    }
    g_free(name);
}

void on_buttonSelectAll_clicked(GtkButton*, gpointer) { monitor_all(1); }
void on_buttonUnselectAll_clicked(GtkButton*, gpointer) { monitor_all(0); }

void on_entryPolling_changed(GtkEditable* editable, gpointer)
{
    const char* text = gtk_entry_get_text(GTK_ENTRY(editable));
    for (const char* c = text; *c != '\0'; ++c) {
        if (std::isdigit(static_cast<unsigned char>(*c)) == 0) return refuse_interval(editable);
    }
    const long value = std::strtol(text, nullptr, 10);
    if (value > 300) return refuse_interval(editable);
    if (value == 0) return;
    myspQuorvel->system->Polling = static_cast<uint32_t>(value);
    if (timer == 0) return;
    gtk_timeout_remove(static_cast<guint>(timer));
    timer = static_cast<int>(gtk_timeout_add(polling_period_ms(myspQuorvel->system->Polling), polling_tick, nullptr));
}

void on_buttonItemsSave_clicked(GtkButton*, gpointer)
{
    save_INI_File(1);
    show_message("Configuration has been saved.");
}

}  // namespace qv
