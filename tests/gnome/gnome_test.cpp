// The GNOME pieces on GTK+ 2: program set-up, the window's layout, menus,
// accelerators and hints, the status bar's stack, and the about box.
#include "gui/gnome/gnome.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

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

std::vector<GtkWidget*> children(GtkWidget* container)
{
    GList* list = gtk_container_get_children(GTK_CONTAINER(container));
    std::vector<GtkWidget*> out;
    for (GList* l = list; l != nullptr; l = l->next) out.push_back(GTK_WIDGET(l->data));
    g_list_free(list);
    return out;
}

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
    GtkWidget* contents = nullptr;
    GnomeAppBar* appbar = nullptr;

    void SetUp() override
    {
        Gtk::SetUp();
        app = GNOME_APP(gnome_app_new("quorvel", "Quorvel II"));
        contents = gtk_label_new("sensors");
        gnome_app_set_contents(app, contents);
        appbar = GNOME_APPBAR(gnome_appbar_new(TRUE, TRUE, GNOME_PREFERENCES_USER));
        gnome_app_set_statusbar(app, GTK_WIDGET(appbar));
        gnome_app_create_menus(app, bar);
        gnome_app_install_menu_hints(app, bar);
    }
    void TearDown() override { gtk_widget_destroy(GTK_WIDGET(app)); }
};

TEST_F(Menus, WindowHoldsMenuBarAndContentsInTheDockAboveTheStatusBar)
{
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(app)), "Quorvel II");
    EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(app)));
    EXPECT_EQ(gtk_bin_get_child(GTK_BIN(app)), app->vbox);
    EXPECT_EQ(children(app->vbox), (std::vector<GtkWidget*>{app->dock, GTK_WIDGET(appbar)}));
    EXPECT_EQ(children(app->dock), (std::vector<GtkWidget*>{app->menubar, contents}));
    const struct {
        GtkWidget* box;
        GtkWidget* child;
        gboolean expand;
    } packing[] = {
        {app->dock, app->menubar, FALSE}, {app->dock, contents, TRUE}, {app->vbox, GTK_WIDGET(appbar), FALSE}};
    for (const auto& p : packing) {
        gboolean expand = !p.expand, fill = FALSE;
        gtk_box_query_child_packing(GTK_BOX(p.box), p.child, &expand, &fill, nullptr, nullptr);
        EXPECT_EQ(expand, p.expand);
        EXPECT_TRUE(fill || !p.expand);
    }
}

TEST_F(Menus, EveryEntryGetsAShownItemOfItsKindInItsPlace)
{
    const struct {
        GnomeUIInfo* entry;
        GnomeUIInfo* tree;  // nullptr: the menu bar
        int position;
        GType type;
        const char* label;
        const char* stock;
    } cases[] = {
        {&bar[0], nullptr, 0, GTK_TYPE_MENU_ITEM, "_File", nullptr},
        {&file[0], &bar[0], 0, GTK_TYPE_IMAGE_MENU_ITEM, "_Quit", GTK_STOCK_QUIT},
        {&bar[1], nullptr, 1, GTK_TYPE_MENU_ITEM, "_View", nullptr},
        {&view[0], &bar[1], 0, GTK_TYPE_IMAGE_MENU_ITEM, "_Refresh", GTK_STOCK_REFRESH},
        {&view[1], &bar[1], 1, GTK_TYPE_SEPARATOR_MENU_ITEM, nullptr, nullptr},
        {&view[2], &bar[1], 2, GTK_TYPE_MENU_ITEM, "_Details", nullptr},
        {&bar[2], nullptr, 2, GTK_TYPE_MENU_ITEM, "_Board", nullptr},
        {&board[0], &bar[2], 0, GTK_TYPE_MENU_ITEM, "_Reset intrusion", nullptr},
        {&bar[3], nullptr, 3, GTK_TYPE_MENU_ITEM, "_Help", nullptr},
        {&help[0], &bar[3], 0, GTK_TYPE_IMAGE_MENU_ITEM, "_About", GTK_STOCK_ABOUT},
    };
    ASSERT_TRUE(GTK_IS_MENU_BAR(app->menubar));
    EXPECT_EQ(children(app->menubar).size(), 4u);
    for (const auto& c : cases) {
        GtkWidget* item = c.entry->widget;
        ASSERT_NE(item, nullptr) << c.label;
        EXPECT_EQ(G_OBJECT_TYPE(item), c.type) << c.label;
        EXPECT_TRUE(gtk_widget_get_visible(item)) << c.label;
        GtkWidget* shell = c.tree ? gtk_menu_item_get_submenu(GTK_MENU_ITEM(c.tree->widget)) : app->menubar;
        const auto siblings = children(shell);
        ASSERT_LT(c.position, int(siblings.size())) << c.label;
        EXPECT_EQ(siblings[c.position], item) << c.label;
        if (c.label) {
            EXPECT_STREQ(gtk_label_get_label(GTK_LABEL(gtk_bin_get_child(GTK_BIN(item)))), c.label);
        }
        if (!c.stock) continue;
        GtkImage* image = GTK_IMAGE(gtk_image_menu_item_get_image(GTK_IMAGE_MENU_ITEM(item)));
        ASSERT_EQ(gtk_image_get_storage_type(image), GTK_IMAGE_STOCK) << c.label;
        gchar* stock = nullptr;
        gtk_image_get_stock(image, &stock, nullptr);
        EXPECT_STREQ(stock, c.stock);
    }
}

TEST_F(Menus, ItemsAndAcceleratorsCallTheirCallbackWithItsData)
{
    gtk_widget_show(GTK_WIDGET(app));
    // Accelerators only fire on a window the server has mapped.
    const gint64 deadline = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
    while (!gdk_window_is_viewable(gtk_widget_get_window(GTK_WIDGET(app))) && g_get_monotonic_time() < deadline)
        gtk_main_iteration_do(FALSE);

    const struct {
        GnomeUIInfo* entry;
        guint key;  // 0: activated as an item
        GdkModifierType mods;
        Item called;
    } cases[] = {
        {&file[0], 0, GdkModifierType(0), Quit},      {&view[0], 0, GdkModifierType(0), Refresh},
        {&view[2], 0, GdkModifierType(0), Details},   {&board[0], 0, GdkModifierType(0), Reset},
        {&help[0], 0, GdkModifierType(0), About},     {&file[0], GDK_KEY_q, GDK_CONTROL_MASK, Quit},
        {&view[0], GDK_KEY_F5, GdkModifierType(0), Refresh},
    };
    for (const auto& c : cases) {
        std::array<int, Items> expected = hits;
        ++expected[c.called];
        if (c.key == 0)
            gtk_menu_item_activate(GTK_MENU_ITEM(c.entry->widget));
        else
            EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(app), c.key, c.mods)) << c.key;
        EXPECT_EQ(hits, expected) << "item " << c.called << " key " << c.key;
    }
    EXPECT_EQ(gtk_widget_list_accel_closures(help[0].widget), nullptr);
}

TEST_F(Menus, SelectedItemShowsItsHintUntilDeselected)
{
    gnome_appbar_set_default(appbar, "Ready");
    gnome_appbar_push(appbar, "Monitoring");
    const struct {
        GnomeUIInfo* entry;
        const char* shown;
    } cases[] = {
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

void collect(GtkWidget* widget, gpointer found)
{
    auto* out = static_cast<std::vector<GtkWidget*>*>(found);
    out->push_back(widget);
    if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), collect, found);
}

void record_response(GtkDialog*, gint id, gpointer out) { *static_cast<gint*>(out) = id; }

using AboutBox = Gtk;

// As the window calls it: no comments, no translator.
TEST_F(AboutBox, ShowsWhatItIsGivenAndClosesWithANegativeResponse)
{
    const gchar* authors[] = {"A. Author", "B. Writer", nullptr};
    const gchar* documenters[] = {"D. Doc", nullptr};
    GdkPixbuf* logo = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 4, 4);
    GtkWidget* about = gnome_about_new("Quorvel II", "2.87", "(C) Quorvel", "", authors, documenters, nullptr, logo);
    ASSERT_TRUE(GTK_IS_DIALOG(about));
    EXPECT_FALSE(gtk_widget_get_visible(about));
    EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(about)));
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(about)), "About Quorvel II");
    std::vector<GtkWidget*> all;
    collect(about, &all);
    std::vector<std::string> texts;
    for (GtkWidget* w : all)
        if (GTK_IS_LABEL(w)) texts.emplace_back(gtk_label_get_text(GTK_LABEL(w)));
    for (const char* text :
         {"Quorvel II 2.87", "(C) Quorvel", "Written by:", "A. Author\nB. Writer", "Documented by:", "D. Doc"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "Translated by:"), texts.end());
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](GtkWidget* w) {
        return GTK_IS_IMAGE(w) && gtk_image_get_storage_type(GTK_IMAGE(w)) == GTK_IMAGE_PIXBUF &&
               gtk_image_get_pixbuf(GTK_IMAGE(w)) == logo;
    }));

    const auto buttons = children(gtk_dialog_get_action_area(GTK_DIALOG(about)));
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(buttons[0])), GTK_STOCK_CLOSE);
    gint response = 0;
    g_signal_connect(about, "response", G_CALLBACK(record_response), &response);
    gtk_button_clicked(GTK_BUTTON(buttons[0]));
    EXPECT_EQ(response, GTK_RESPONSE_CLOSE);
    EXPECT_LT(response, 0);
    gtk_widget_destroy(about);
    g_object_unref(logo);
}

}  // namespace
}  // namespace qv::test
