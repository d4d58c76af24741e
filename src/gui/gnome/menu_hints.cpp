// Menu hints on the status bar while an item is selected.
#include "gui/gnome/configurable.h"

namespace {

const char hint_key[] = "gnome-app-menu-hint";

void push_hint(GtkWidget* item, gpointer appbar)
{
    gnome_appbar_push(GNOME_APPBAR(appbar), static_cast<const char*>(g_object_get_data(G_OBJECT(item), hint_key)));
}

void pop_hint(GtkWidget*, gpointer appbar) { gnome_appbar_pop(GNOME_APPBAR(appbar)); }

void install(GnomeAppBar* appbar, GnomeUIInfo* uiinfo)
{
    for (GnomeUIInfo* entry = uiinfo; entry->type != GNOME_APP_UI_ENDOFINFO; ++entry) {
        if (qv::gnome::is_subtree(*entry) && entry->moreinfo != nullptr)
            install(appbar, static_cast<GnomeUIInfo*>(entry->moreinfo));
        const char* hint = qv::gnome::entry_hint(*entry);
        if (entry->widget == nullptr || hint == nullptr) continue;
        g_object_set_data_full(G_OBJECT(entry->widget), hint_key, g_strdup(hint), g_free);
        // Tied to the bar, so a bar destroyed before the menus leaves no dangling handler.
        g_signal_connect_object(entry->widget, "select", G_CALLBACK(push_hint), appbar, GConnectFlags(0));
        g_signal_connect_object(entry->widget, "deselect", G_CALLBACK(pop_hint), appbar, GConnectFlags(0));
    }
}

}  // namespace

void gnome_app_install_menu_hints(GnomeApp* app, GnomeUIInfo* uiinfo)
{
    g_return_if_fail(GNOME_IS_APP(app));
    g_return_if_fail(uiinfo != nullptr);
    if (!GNOME_IS_APPBAR(app->statusbar)) return;
    install(GNOME_APPBAR(app->statusbar), uiinfo);
}
