#include "gui/window.h"

#include "gui/globals.h"
#include "gui/gnome/gnome.h"
#include "gui/interface.h"
#include "gui/pages.h"
#include "gui/support.h"
#include "platform/os.h"

#include <cstdio>

namespace qv {

namespace {

struct Column {
    const char* title;
    GtkTreeViewColumn** global;
};
const Column kItemColumns[] = {
    {"Checked", &checked_column},   {"Monitored Item", &monitored_item_column},
    {"High Limit", &high_limit_column}, {"Low Limit", &low_limit_column},
    {"Status", &status_column},     {"Warning", &warning_column},
};

void create_items_model()
{
    list_store = gtk_list_store_new(6, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING,
                                    G_TYPE_STRING);
    text_renderer = gtk_cell_renderer_text_new();
    for (int i = 0; i < 6; ++i) {
        const Column& c = kItemColumns[i];
        *c.global = gtk_tree_view_column_new_with_attributes(c.title, text_renderer, "text", i, nullptr);
    }
    treeview1 = lookup_widget(myapp1, "treeview1");
    gtk_tree_view_set_model(GTK_TREE_VIEW(treeview1), GTK_TREE_MODEL(list_store));
    for (const Column& c : kItemColumns) gtk_tree_view_append_column(GTK_TREE_VIEW(treeview1), *c.global);
}

}  // namespace

guint polling_period_ms(uint32_t seconds)
{
    // A profile may say 0 (ticks without a pause) or more than the timer can count.
    constexpr uint32_t kLongest = G_MAXUINT / 1000;
    return (seconds == 0 ? 1 : seconds > kLongest ? kLongest : seconds) * 1000;
}

void init_window_toolkit(int argc, char** argv)
{
    if (gnome_program_get() != nullptr) return;
    // The data folder of this machine, wherever the toolkit finds it.
    const std::string datadir = platform::os().host_path("/usr/local/share");
    gnome_program_init("quorvel", "2.87", LIBGNOMEUI_MODULE, argc, argv, GNOME_PARAM_APP_DATADIR, datadir.c_str(),
                       nullptr);
}

void open_windows(int argc, char** argv)
{
    init_window_toolkit(argc, argv);
    // The pages' fixed cell sizes hold their texts at this size; larger type would cut them.
    // "Acknowledge" needs the pixel a button gives to its focus padding.
    gtk_rc_parse_string("style \"quorvel-text\" { font_name = \"Sans 9\" }\n"
                        "style \"quorvel-tight\" { GtkWidget::focus-padding = 0 }\n"
                        "widget \"app1*\" style \"quorvel-text\"\n"
                        "widget \"windowAlertMessage*\" style \"quorvel-text\"\n"
                        "widget \"windowAlertMessage*.button*\" style \"quorvel-tight\"\n");
    myapp1 = create_app1();
    mywindowAlertMessage = create_windowAlertMessage();
    myabout2 = create_about2();
    create_dialogInfo();

    gtk_widget_set_uposition(myapp1, 0, 0);
    gtk_widget_show(myapp1);
    const GtkAllocation& main = myapp1->allocation;
    gtk_widget_set_uposition(mywindowAlertMessage, main.x + main.width + 12, main.y + main.height - 200);
    gtk_widget_hide(mywindowAlertMessage);
}

void start_pages(std::span<ItemDisplay> displays, const LoadedProfile& profile)
{
    create_items_model();
    build_All(myapp1, displays, profile);
    timer = static_cast<int>(gtk_timeout_add(polling_period_ms(profile.system->Polling), polling_tick, nullptr));
}

void run_main_loop()
{
    // Start-up's messages reach a log file now, not when the window closes.
    std::fflush(stdout);
    gtk_main();
}

}  // namespace qv
