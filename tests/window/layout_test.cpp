// The widget trees: every name the pages and handlers look up is found from anywhere
// in its window, and the repeated slots sit in their table cells.
#include "gui/gnome/gnome.h"
#include "gui/interface.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace qv::test {
namespace {

class Layout : public WindowTest {
protected:
    void SetUp() override
    {
        load(quiet_profile(1));
        open();
    }
};

std::vector<std::string> main_window_names()
{
    std::vector<std::string> names = {
        "app1", "bonobodock1", "appbar1", "notebook1", "file1", "quit1", "view1", "summary1", "separator4",
        "fan_speed_charts1", "voltage_charts1", "thermal_charts1", "setup1", "items1", "alert1", "help1", "about1",
        "labelSummary", "labelFan", "labelVoltage", "labelThermal", "labelItems", "labelAlert",
        "scrolledwindowSummary", "viewportSummary", "scrolledwindowFan", "viewportFan", "scrolledwindowVoltage",
        "viewportVoltage", "scrolledwindowThermal", "viewport4", "scrolledwindowItems", "viewport5",
        "scrolledwindowAlert", "viewport6", "vboxSummary", "tableFan", "tableVoltage", "tableThermal",
        "hseparatorSummaryFan", "hseparatorSummaryVoltage", "hseparatorSummaryThermal",
        "vbox1", "hbox1", "label1", "entryPolling", "label2", "label3", "buttonSelectAll", "buttonUnselectAll",
        "buttonItemsSave", "scrolledwindow1", "treeview1", "vbox2", "hbox2", "labelNameForThisSystem",
        "entryMachineName", "label5", "buttonMailTest", "buttonAlertSave", "hseparator1", "table8",
        "checkbuttonMailAlert", "labelInOrderTo", "label7", "entryRecipientMailbox", "hseparator2", "hbox3",
        "buttonShowAlertMessage"};
    for (const Category& c : kSummaryCategories) {
        const std::string n = c.name;
        for (const char* fixed : {"tableSummary", "labelSummary", "imageSummary"}) names.push_back(fixed + n);
        for (int i = 0; i < c.summary_slots; ++i) {
            const std::string slot = std::to_string(i);
            names.push_back("buttonSummary" + n + slot);
            names.push_back("labelSummary" + n + slot);
            if (c.category == SWITCH) continue;
            for (const char* part : {"label", "image", "curve", "hseparator"}) names.push_back(part + n + slot);
            names.push_back("label" + n + "Limit" + slot);
            names.push_back("label" + n + "Reading" + slot);
        }
    }
    return names;
}

TEST_F(Layout, EveryNameIsFoundFromTheWindowFromInsideAndFromAMenuItem)
{
    GtkWidget* starts[] = {myapp1, widget("curveVoltage59"), widget("quit1"), widget("about1"),
                           gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget("view1")))};
    for (GtkWidget* start : starts) {
        ASSERT_NE(start, nullptr);
        for (const std::string& name : main_window_names())
            EXPECT_NE(lookup_widget(start, name.c_str()), nullptr) << name << " from " << gtk_widget_get_name(start);
    }
    for (GtkWidget* start : {mywindowAlertMessage, lookup_widget(mywindowAlertMessage, "buttonDown")})
        for (const char* name : {"windowAlertMessage", "vbox3", "scrolledwindow2", "viewport7", "labelAlertMsg",
                                 "table9", "buttonUp", "labelIndexCount", "buttonAcknowledge", "buttonDismiss",
                                 "buttonDown"})
            EXPECT_NE(lookup_widget(start, name), nullptr) << name;
    GtkWidget* dialog = create_dialogInfo();
    for (const char* name : {"dialogInfo", "dialog_vboxInfo", "labelInfo", "dialog_action_areaInfo", "okbuttonInfo"})
        EXPECT_NE(lookup_widget(lookup_widget(dialog, "okbuttonInfo"), name), nullptr) << name;
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(lookup_widget(dialog, "labelInfo"))), "Information / Warning");
    gtk_widget_destroy(dialog);
}

TEST_F(Layout, TheIconLoadsAndItsAbsenceIsOnlyAWarning)
{
    GdkPixbuf* icon = create_pixbuf("quorvel/idr_main.ico");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(icon), 48);
    g_object_unref(icon);
    EXPECT_EQ(create_pixbuf(""), nullptr);

    const std::string path = "/usr/local/share/pixmaps/quorvel/idr_main.ico";
    std::string kept;
    ASSERT_TRUE(data_folder().read_file(path, kept));
    data_folder().remove(path);
    EXPECT_EQ(create_pixbuf("quorvel/idr_main.ico"), nullptr);
    GtkWidget* about = create_about2();
    EXPECT_NE(about, nullptr);
    gtk_widget_destroy(about);
    data_folder().write_file(path, "not an image");
    testing::internal::CaptureStderr();
    EXPECT_EQ(create_pixbuf("quorvel/idr_main.ico"), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Failed to load pixbuf file: "), std::string::npos);
    data_folder().write_file(path, kept);
}

struct Cell { const char* table; const char* child; guint left, right, top, bottom; };

TEST_F(Layout, SlotsSitInTheirCells)
{
    const Cell cells[] = {
        {"tableSummaryFan", "buttonSummaryFan5", 2, 3, 3, 4},
        {"tableSummaryFan", "labelSummaryFan5", 2, 3, 4, 5},
        {"tableSummaryVoltage", "buttonSummaryVoltage59", 6, 7, 29, 30},
        {"tableSummaryVoltage", "labelSummaryVoltage59", 6, 7, 30, 31},
        {"tableSummaryStatus", "imageSummaryStatus", 7, 8, 0, 1},
        {"tableSummaryThermal", "labelSummaryThermal", 0, 1, 0, 1},
        {"tableVoltage", "labelVoltage59", 0, 1, 236, 237},
        {"tableVoltage", "imageVoltage59", 1, 2, 236, 237},
        {"tableVoltage", "curveVoltage59", 0, 2, 237, 238},
        {"tableVoltage", "labelVoltageLimit59", 0, 1, 238, 239},
        {"tableVoltage", "labelVoltageReading59", 1, 2, 238, 239},
        {"tableVoltage", "hseparatorVoltage59", 0, 2, 239, 240},
        {"tableFan", "curveFan0", 0, 2, 1, 2},
    };
    for (const Cell& c : cells) {
        guint left = 0, right = 0, top = 0, bottom = 0;
        gtk_container_child_get(GTK_CONTAINER(widget(c.table)), widget(c.child), "left-attach", &left, "right-attach",
                                &right, "top-attach", &top, "bottom-attach", &bottom, nullptr);
        EXPECT_EQ(std::tuple(left, right, top, bottom), std::tuple(c.left, c.right, c.top, c.bottom)) << c.child;
    }
    struct Size { const char* table; guint rows; };
    for (const Size s : {Size{"tableVoltage", 240}, Size{"tableFan", 64}, Size{"tableThermal", 64},
                         Size{"tableSummaryVoltage", 31}, Size{"tableSummaryFan", 9}}) {
        guint rows = 0;
        g_object_get(widget(s.table), "n-rows", &rows, nullptr);
        EXPECT_EQ(rows, s.rows) << s.table;
    }
}

TEST_F(Layout, FirstFillStartsTheWindowsState)
{
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(myapp1)), "Quorvel II");
    EXPECT_EQ(gnome_appbar_get_status(GNOME_APPBAR(widget("appbar1"))), std::string("Ready"));
    EXPECT_EQ(text("labelIndexCount", mywindowAlertMessage), "0/0");
    EXPECT_EQ(text("labelAlertMsg", mywindowAlertMessage), "No message!");
    EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(widget("entryPolling"))), std::string("5"));
    EXPECT_EQ(gtk_tree_view_get_model(GTK_TREE_VIEW(widget("treeview1"))), GTK_TREE_MODEL(list_store));
    EXPECT_EQ(gtk_tree_view_column_get_title(status_column), std::string("Status"));
    EXPECT_EQ(gtk_tree_view_get_column(GTK_TREE_VIEW(treeview1), 5), warning_column);
    EXPECT_NE(timer, 0);
    // The headings in orange, the insensitive curves in light blue.
    GtkStyle* heading = gtk_widget_get_style(widget("labelSummaryFan"));
    EXPECT_EQ(heading->fg[GTK_STATE_NORMAL].red, Orange.red);
    EXPECT_EQ(heading->fg[GTK_STATE_NORMAL].green, Orange.green);
    GtkWidget* curve = widget("curveThermal15");
    EXPECT_FALSE(gtk_widget_is_sensitive(curve));
    EXPECT_EQ(gtk_widget_get_style(curve)->fg[GTK_STATE_INSENSITIVE].blue, LightBlue.blue);
    EXPECT_EQ(gtk_widget_get_style(curve)->fg[GTK_STATE_INSENSITIVE].green, LightBlue.green);
}

TEST_F(Layout, MenusSwitchPagesAndExitLeavesTheMainLoop)
{
    struct Entry { const char* item; int page; };
    for (const Entry e : {Entry{"alert1", 5}, Entry{"fan_speed_charts1", 1}, Entry{"items1", 4},
                          Entry{"thermal_charts1", 3}, Entry{"voltage_charts1", 2}, Entry{"summary1", 0}}) {
        gtk_menu_item_activate(GTK_MENU_ITEM(widget(e.item)));
        EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(widget("notebook1"))), e.page) << e.item;
    }
    g_idle_add([](gpointer) -> gboolean {
        gtk_menu_item_activate(GTK_MENU_ITEM(lookup_widget(myapp1, "quit1")));
        return FALSE;
    }, nullptr);
    gtk_main();  // returns only through Exit
}

TEST_F(Layout, AClosedAboutBoxIsBuiltAgain)
{
    GtkWidget* first = myabout2;
    gtk_dialog_response(GTK_DIALOG(first), GTK_RESPONSE_CLOSE);
    EXPECT_EQ(myabout2, nullptr);
    gtk_menu_item_activate(GTK_MENU_ITEM(widget("about1")));
    ASSERT_NE(myabout2, nullptr);
    EXPECT_TRUE(gtk_widget_get_visible(myabout2));
}

}  // namespace
}  // namespace qv::test
