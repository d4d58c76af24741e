// The GNOME pieces on GTK+ 2 that the window tests do not reach: program set-up,
// accelerators, menu hints and the status bar's stack.
#include "gui/gnome/gnome.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include <array>

namespace qv::test {
namespace {

char arg0[] = "gnome_test", arg1[] = "--class=QuorvelTest", arg2[] = "kept";
char* caller_argv[] = {arg0, arg1, arg2, nullptr};

GnomeProgram* program()
{
    static GnomeProgram* const the = gnome_program_init("quorvel", "2.87", LIBGNOMEUI_MODULE, 3, caller_argv,
                                                        GNOME_PARAM_APP_DATADIR, "unused", nullptr);
    return the;
}

class Gtk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(program(), nullptr); }
};

using GtkProgram = Gtk;

TEST_F(GtkProgram, KeepsIdentityAndPassesGtkItsOptionsOnACopy)
{
    GnomeProgram* first = program();
    EXPECT_EQ(gnome_program_get(), first);
    EXPECT_STREQ(gnome_program_get_app_id(first), "quorvel");
    EXPECT_STREQ(gnome_program_get_app_version(first), "2.87");
    EXPECT_STREQ(gdk_get_program_class(), "QuorvelTest");
    EXPECT_STREQ(caller_argv[1], "--class=QuorvelTest");
    EXPECT_STREQ(caller_argv[2], "kept");
    EXPECT_EQ(gnome_program_init("other", "1", LIBGNOMEUI_MODULE, 0, nullptr, GNOME_PARAM_APP_DATADIR, "/", nullptr),
              first);
    EXPECT_STREQ(gnome_program_get_app_id(first), "quorvel");
}

enum Item { Quit, Refresh, Details, Reset, About, Items };
void count(GtkWidget*, gpointer counter) { ++*static_cast<int*>(counter); }

#define ITEM(label, hint, counter, stock, key) \
    {GNOME_APP_UI_ITEM, label, hint, (gpointer)count, counter, nullptr, \
     stock ? GNOME_APP_PIXMAP_STOCK : GNOME_APP_PIXMAP_NONE, stock, key, GdkModifierType(0), nullptr}

// A window shaped like the monitor's: File/Quit, View with a separator, a plain
// sub-tree, Help/About, with the contents placed before the menus are made.
class Menus : public Gtk {
protected:
    std::array<int, Items> hits{};
    GnomeUIInfo file[2] = {GNOMEUIINFO_MENU_EXIT_ITEM(count, &hits[Quit]), GNOMEUIINFO_END};
    GnomeUIInfo view[4] = {ITEM("_Refresh", "Read the sensors now", &hits[Refresh], GTK_STOCK_REFRESH, GDK_KEY_F5),
                           GNOMEUIINFO_SEPARATOR, ITEM("_Details", nullptr, &hits[Details], nullptr, 0),
                           GNOMEUIINFO_END};
    GnomeUIInfo board[2] = {ITEM("_Reset intrusion", "Clear the intrusion latch", &hits[Reset], nullptr, 0),
                            GNOMEUIINFO_END};
    GnomeUIInfo help[2] = {GNOMEUIINFO_MENU_ABOUT_ITEM(count, &hits[About]), GNOMEUIINFO_END};
    GnomeUIInfo bar[5] = {GNOMEUIINFO_MENU_FILE_TREE(file), GNOMEUIINFO_MENU_VIEW_TREE(view),
                          GNOMEUIINFO_SUBTREE("_Board", board), GNOMEUIINFO_MENU_HELP_TREE(help), GNOMEUIINFO_END};
    GnomeApp* app = nullptr;
    GnomeAppBar* appbar = nullptr;

    void SetUp() override
    {
        Gtk::SetUp();
        app = GNOME_APP(gnome_app_new("quorvel", "Quorvel II"));
        gnome_app_set_contents(app, gtk_label_new("sensors"));
        appbar = GNOME_APPBAR(gnome_appbar_new(TRUE, TRUE, GNOME_PREFERENCES_USER));
        gnome_app_set_statusbar(app, GTK_WIDGET(appbar));
        gnome_app_create_menus(app, bar);
        gnome_app_install_menu_hints(app, bar);
    }
    void TearDown() override { gtk_widget_destroy(GTK_WIDGET(app)); }
};

TEST_F(Menus, AcceleratorsCallTheirItemsCallbackWithItsData)
{
    gtk_widget_show(GTK_WIDGET(app));
    // Accelerators only fire on a window the server has mapped.
    const gint64 deadline = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
    while (!gdk_window_is_viewable(gtk_widget_get_window(GTK_WIDGET(app))) && g_get_monotonic_time() < deadline)
        gtk_main_iteration_do(FALSE);
    const struct {
        guint key;
        GdkModifierType mods;
        Item called;
    } cases[] = {{GDK_KEY_q, GDK_CONTROL_MASK, Quit}, {GDK_KEY_F5, GdkModifierType(0), Refresh}};
    for (const auto& c : cases) {
        std::array<int, Items> expected = hits;
        ++expected[c.called];
        EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(app), c.key, c.mods)) << c.key;
        EXPECT_EQ(hits, expected) << "key " << c.key;
    }
    EXPECT_EQ(gtk_widget_list_accel_closures(help[0].widget), nullptr);
}

TEST_F(Menus, SelectedItemShowsItsHintUntilDeselected)
{
    gnome_appbar_set_default(appbar, "Ready");
    gnome_appbar_push(appbar, "Monitoring");
    const struct { GnomeUIInfo* entry; const char* shown; } cases[] = {
        {&file[0], "Quit the application"},   {&help[0], "About this application"},
        {&view[0], "Read the sensors now"},   {&board[0], "Clear the intrusion latch"},
        {&view[2], "Monitoring"},
    };
    for (const auto& c : cases) {
        gtk_item_select(GTK_ITEM(c.entry->widget));
        EXPECT_STREQ(gnome_appbar_get_status(appbar), c.shown);
        gtk_item_deselect(GTK_ITEM(c.entry->widget));
        EXPECT_STREQ(gnome_appbar_get_status(appbar), "Monitoring");
    }
}

using AppBar = Gtk;

TEST_F(AppBar, StatusShowsTopOfStack)
{
    GtkWidget* widget = g_object_ref_sink(gnome_appbar_new(TRUE, TRUE, GNOME_PREFERENCES_NEVER));
    GnomeAppBar* appbar = GNOME_APPBAR(widget);
    const struct {
        const char* pushed;  // nullptr: a pop
        const char* shown;
    } steps[] = {{"A", "A"}, {"B", "B"}, {nullptr, "A"}, {nullptr, ""}, {nullptr, ""}, {"C", "C"}};
    for (const auto& s : steps) {
        if (s.pushed != nullptr) gnome_appbar_push(appbar, s.pushed);
        else gnome_appbar_pop(appbar);
        EXPECT_STREQ(gnome_appbar_get_status(appbar), s.shown) << "step " << (&s - steps);
    }
    gtk_widget_destroy(widget);  // with "C" still on the stack
    g_object_unref(widget);
}

}  // namespace
}  // namespace qv::test
