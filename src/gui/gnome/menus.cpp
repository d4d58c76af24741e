// The menu bar built from UI-info tables.
#include "gui/gnome/configurable.h"

namespace {

using qv::gnome::ConfigurableItem;

void fill_shell(GtkWidget* shell, GnomeUIInfo* uiinfo, GtkAccelGroup* accels);

GtkWidget* image_item(const char* label, const char* stock_id)
{
    GtkWidget* item = gtk_image_menu_item_new_with_mnemonic(label);
    gtk_image_menu_item_set_image(GTK_IMAGE_MENU_ITEM(item), gtk_image_new_from_stock(stock_id, GTK_ICON_SIZE_MENU));
    return item;
}

void add_accelerator(GtkWidget* item, GtkAccelGroup* accels, guint key, GdkModifierType mods)
{
    if (key != 0) gtk_widget_add_accelerator(item, "activate", accels, key, mods, GTK_ACCEL_VISIBLE);
}

GtkWidget* subtree_item(const GnomeUIInfo& entry, GtkAccelGroup* accels)
{
    GtkWidget* item = gtk_menu_item_new_with_mnemonic(entry.label);
    GtkWidget* menu = gtk_menu_new();
    gtk_menu_set_accel_group(GTK_MENU(menu), accels);
    if (entry.moreinfo != nullptr) fill_shell(menu, static_cast<GnomeUIInfo*>(entry.moreinfo), accels);
    gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), menu);
    return item;
}

GtkWidget* plain_item(const GnomeUIInfo& entry, GtkAccelGroup* accels)
{
    const bool stock = entry.pixmap_type == GNOME_APP_PIXMAP_STOCK && entry.pixmap_info != nullptr;
    GtkWidget* item = stock ? image_item(entry.label, static_cast<const char*>(entry.pixmap_info))
                            : gtk_menu_item_new_with_mnemonic(entry.label);
    add_accelerator(item, accels, entry.accelerator_key, entry.ac_mods);
    return item;
}

GtkWidget* configurable_item(const GnomeUIInfo& entry, GtkAccelGroup* accels)
{
    const ConfigurableItem* known = qv::gnome::configurable_item(entry.accelerator_key);
    if (known == nullptr) {
        g_warning("gnome_app_create_menus: configurable item %u is not supported", entry.accelerator_key);
        return nullptr;
    }
    GtkWidget* item = image_item(known->label, known->stock_id);
    add_accelerator(item, accels, known->accel_key, known->accel_mods);
    return item;
}

GtkWidget* create_item(const GnomeUIInfo& entry, GtkAccelGroup* accels)
{
    switch (entry.type) {
    case GNOME_APP_UI_SUBTREE:
    case GNOME_APP_UI_SUBTREE_STOCK: return subtree_item(entry, accels);
    case GNOME_APP_UI_ITEM: return plain_item(entry, accels);
    case GNOME_APP_UI_ITEM_CONFIGURABLE: return configurable_item(entry, accels);
    case GNOME_APP_UI_SEPARATOR: return gtk_separator_menu_item_new();
    default:
        g_warning("gnome_app_create_menus: menu entries of type %d are not supported", int(entry.type));
        return nullptr;
    }
}

void connect_callback(GtkWidget* item, const GnomeUIInfo& entry)
{
    const bool has_callback = entry.type == GNOME_APP_UI_ITEM || entry.type == GNOME_APP_UI_ITEM_CONFIGURABLE;
    if (has_callback && entry.moreinfo != nullptr)
        g_signal_connect(item, "activate", reinterpret_cast<GCallback>(entry.moreinfo), entry.user_data);
}

void fill_shell(GtkWidget* shell, GnomeUIInfo* uiinfo, GtkAccelGroup* accels)
{
    for (GnomeUIInfo* entry = uiinfo; entry->type != GNOME_APP_UI_ENDOFINFO; ++entry) {
        entry->widget = create_item(*entry, accels);
        if (entry->widget == nullptr) continue;
        connect_callback(entry->widget, *entry);
        gtk_menu_shell_append(GTK_MENU_SHELL(shell), entry->widget);
        gtk_widget_show(entry->widget);
    }
}

}  // namespace

void gnome_app_create_menus(GnomeApp* app, GnomeUIInfo* uiinfo)
{
    g_return_if_fail(GNOME_IS_APP(app));
    g_return_if_fail(uiinfo != nullptr);
    if (app->menubar != nullptr) gtk_container_remove(GTK_CONTAINER(app->dock), app->menubar);
    app->menubar = gtk_menu_bar_new();
    fill_shell(app->menubar, uiinfo, app->accel_group);
    // Contents may already be in the dock; the menu bar still goes on top.
    gtk_box_pack_start(GTK_BOX(app->dock), app->menubar, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(app->dock), app->menubar, 0);
    gtk_widget_show(app->menubar);
}
