// The main window: menu bar, the six-page notebook and the status bar.
#include "gui/callbacks.h"
#include "gui/gnome/gnome.h"
#include "gui/interface.h"
#include "gui/support.h"
#include "profile/records.h"

namespace qv {

namespace {

GnomeUIInfo item(const char* label, void (*handler)(GtkMenuItem*, gpointer))
{
    return {GNOME_APP_UI_ITEM, label, nullptr, reinterpret_cast<gpointer>(handler), nullptr, nullptr,
            GNOME_APP_PIXMAP_NONE, nullptr, 0, static_cast<GdkModifierType>(0), nullptr};
}

GnomeUIInfo file1_menu_uiinfo[] = {
    GNOMEUIINFO_MENU_EXIT_ITEM(on_quit1_activate, nullptr),
    GNOMEUIINFO_END,
};

GnomeUIInfo view1_menu_uiinfo[] = {
    item("Summary", on_summary1_activate),
    GNOMEUIINFO_SEPARATOR,
    item("_Fan Speed Charts", on_fan_speed_charts1_activate),
    item("_Voltage Charts", on_voltage_charts1_activate),
    item("_Thermal Charts", on_thermal_charts1_activate),
    GNOMEUIINFO_END,
};

GnomeUIInfo setup1_menu_uiinfo[] = {
    item("Ite_ms", on_items1_activate),
    item("_Alert", on_alert1_activate),
    GNOMEUIINFO_END,
};

GnomeUIInfo help1_menu_uiinfo[] = {
    GNOMEUIINFO_MENU_ABOUT_ITEM(on_about1_activate, nullptr),
    GNOMEUIINFO_END,
};

GnomeUIInfo menubar1_uiinfo[] = {
    GNOMEUIINFO_MENU_FILE_TREE(file1_menu_uiinfo),
    GNOMEUIINFO_MENU_VIEW_TREE(view1_menu_uiinfo),
    GNOMEUIINFO_SUBTREE("_Setup", setup1_menu_uiinfo),
    GNOMEUIINFO_MENU_HELP_TREE(help1_menu_uiinfo),
    GNOMEUIINFO_END,
};

// Each table entry's widget gets the name beside it, in table order.
struct MenuNames {
    GnomeUIInfo* table;
    const char* names[6];
};
const MenuNames kMenuNames[] = {
    {menubar1_uiinfo, {"file1", "view1", "setup1", "help1"}},
    {file1_menu_uiinfo, {"quit1"}},
    {view1_menu_uiinfo, {"summary1", "separator4", "fan_speed_charts1", "voltage_charts1", "thermal_charts1"}},
    {setup1_menu_uiinfo, {"items1", "alert1"}},
    {help1_menu_uiinfo, {"about1"}},
};

void create_menus(GtkWidget* app1)
{
    gnome_app_create_menus(GNOME_APP(app1), menubar1_uiinfo);
    for (const MenuNames& menu : kMenuNames)
        for (int i = 0; menu.table[i].type != GNOME_APP_UI_ENDOFINFO; ++i)
            hookup(app1, menu.table[i].widget, menu.names[i]);
}

struct Page {
    const char* tab;
    const char* tab_name;
    const char* scrolled_name;
    const char* viewport_name;
};
const Page kPages[] = {
    {"Summary", "labelSummary", "scrolledwindowSummary", "viewportSummary"},
    {"Fan", "labelFan", "scrolledwindowFan", "viewportFan"},
    {"Voltage", "labelVoltage", "scrolledwindowVoltage", "viewportVoltage"},
    {"Thermal", "labelThermal", "scrolledwindowThermal", "viewport4"},
    {"Items", "labelItems", "scrolledwindowItems", "viewport5"},
    {"Alert", "labelAlert", "scrolledwindowAlert", "viewport6"},
};

GtkWidget* page_contents(GtkWidget* app1, int page)
{
    switch (page) {
    case 0: return create_summary_page(app1);
    case 1: return create_chart_page(app1, FAN);
    case 2: return create_chart_page(app1, VOLTAGE);
    case 3: return create_chart_page(app1, TEMP);
    case 4: return create_items_page(app1);
    default: return create_alert_page(app1);
    }
}

void add_page(GtkWidget* app1, GtkWidget* notebook, int page)
{
    const Page& p = kPages[page];
    GtkWidget* scrolled = hookup(app1, gtk_scrolled_window_new(nullptr, nullptr), p.scrolled_name);
    gtk_container_add(GTK_CONTAINER(notebook), scrolled);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    GtkWidget* viewport = hookup(app1, gtk_viewport_new(nullptr, nullptr), p.viewport_name);
    gtk_container_add(GTK_CONTAINER(scrolled), viewport);
    gtk_container_add(GTK_CONTAINER(viewport), page_contents(app1, page));
    if (page == 4) gtk_widget_set_size_request(viewport, 500, 130);

    GtkWidget* tab = hookup(app1, gtk_label_new(p.tab), p.tab_name);
    gtk_widget_set_size_request(tab, 70, 16);
    gtk_label_set_justify(GTK_LABEL(tab), GTK_JUSTIFY_LEFT);
    gtk_notebook_set_tab_label(GTK_NOTEBOOK(notebook), gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), page), tab);
}

}  // namespace

GtkWidget* create_app1()
{
    GtkWidget* app1 = gnome_app_new("Quorvel II", "Quorvel II");
    hookup(app1, app1, "app1");
    gtk_widget_set_size_request(app1, 640, 600);
    gtk_window_set_default_size(GTK_WINDOW(app1), 640, 560);
    gtk_window_set_resizable(GTK_WINDOW(app1), FALSE);
    hookup(app1, GNOME_APP(app1)->dock, "bonobodock1");
    create_menus(app1);

    GtkWidget* notebook = hookup(app1, gtk_notebook_new(), "notebook1");
    gnome_app_set_contents(GNOME_APP(app1), notebook);
    for (int page = 0; page < static_cast<int>(G_N_ELEMENTS(kPages)); ++page) add_page(app1, notebook, page);

    GtkWidget* appbar = hookup(app1, gnome_appbar_new(TRUE, TRUE, GNOME_PREFERENCES_NEVER), "appbar1");
    gnome_app_set_statusbar(GNOME_APP(app1), appbar);

    g_signal_connect(app1, "destroy", G_CALLBACK(on_app1_destroy), nullptr);
    gnome_app_install_menu_hints(GNOME_APP(app1), menubar1_uiinfo);
    return app1;
}

}  // namespace qv
