// Polling ticks on simulated boards: readings reach every page, failed reads repeat the
// last value, a status button resets its switch; and a picture of each page.
#include "gui/callbacks.h"
#include "profile/availability.h"
#include "profile/generator.h"
#include "sim/board.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qv::test {
namespace {

class Tick : public WindowTest {
protected:
    // The demo board with the profile its first start writes.
    void demo()
    {
        const sim::json board = sim::load_board("");
        boot(board);
        ASSERT_EQ(produce_quorvel_ini("SK5BN", "2.0"), 0);
        load(read("/etc/Quorvel.ini"), board);
        std::vector<ItemDisplay> displays = createItemDisps(profile_);
        testing::internal::CaptureStdout();
        detect_and_hide_nonactivated_items(displays, profile_);
        testing::internal::GetCapturedStdout();
        open(std::move(displays));
    }

    void save_page(int page, const std::string& file)
    {
        gtk_notebook_set_current_page(GTK_NOTEBOOK(widget("notebook1")), page);
        save_window(myapp1, file);
    }

    void save_window(GtkWidget* window, const std::string& file)
    {
        settle();
        gdk_window_process_all_updates();
        gdk_flush();
        settle();
        GtkAllocation size = window->allocation;
        GdkPixbuf* shot = gdk_pixbuf_get_from_drawable(nullptr, window->window, nullptr, 0, 0, 0, 0, size.width,
                                                       size.height);
        ASSERT_NE(shot, nullptr);
        std::filesystem::create_directories(QUORVEL_SCREENSHOTS);
        const std::string path = std::string(QUORVEL_SCREENSHOTS) + "/" + file;
        EXPECT_TRUE(gdk_pixbuf_save(shot, path.c_str(), "png", nullptr, nullptr));
        g_object_unref(shot);
    }
};

TEST_F(Tick, TheDemoBoardFillsEveryPage)
{
    demo();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(updateAll(nullptr));
    // First start switched off the fan header that has no fan.
    EXPECT_EQ(text("labelSummaryFan3"), "SYS FAN3");
    EXPECT_EQ(text("labelSummaryFan0"), "CPU1 FAN");
    EXPECT_EQ(text("buttonSummaryFan0"), "5400 RPM");
    EXPECT_EQ(text("labelSummaryVoltage1"), "+12V");
    EXPECT_EQ(text("buttonSummaryVoltage1"), "12.13 V");
    EXPECT_EQ(text("buttonSummaryThermal0"), "31'C / 87'F");
    EXPECT_EQ(text("buttonSummaryThermal1"), "Low");
    EXPECT_EQ(text("buttonSummaryStatus0"), "Good");
    EXPECT_EQ(text("labelVoltageReading0"), "1.10 V");
    EXPECT_EQ(text("labelThermalLimit0"), "High Limit: 75'C / 167'F");
    for (const char* name : {"labelSummaryFan", "labelSummaryVoltage", "labelSummaryThermal", "labelSummaryStatus",
                             "hseparatorSummaryFan", "hseparatorSummaryVoltage", "hseparatorSummaryThermal"})
        EXPECT_TRUE(visible(name)) << name;
    // Three ticks after the first fill: four samples of CPU1 FAN.
    EXPECT_EQ(vectorFan[kSamples - 4], 5400.0f);
    EXPECT_EQ(vectorFan[kSamples - 5], 0.0f);
    EXPECT_EQ(gtk_tree_model_iter_n_children(GTK_TREE_MODEL(list_store), nullptr),
              static_cast<gint>(profile_.items.size()));

    const char* pages[] = {"summary", "fan", "voltage", "thermal", "items", "alert"};
    for (int page = 0; page < 6; ++page) save_page(page, std::string(pages[page]) + ".png");
    // The slow rear fan raised an alert at the first fill.
    ASSERT_TRUE(gtk_widget_get_visible(mywindowAlertMessage));
    EXPECT_EQ(gtk_label_get_text(GTK_LABEL(lookup_widget(mywindowAlertMessage, "labelIndexCount"))), std::string("1/1"));
    save_window(mywindowAlertMessage, "alert-messages.png");
}

TEST_F(Tick, AFailedReadKeepsTheLastValueAndRepeatsItInTheHistory)
{
    // A port fan on a board whose profile says SMBus only: every read fails.
    load(profile_text("01", "[Item]\nITEM_NAME=Lost fan\nITEM_CAT=FAN\nBUSTYPE=02\nCHIPCODE=3\nSLAVE=2d\nOFFSET=20\n"
                            "MONITOR=TRUE\n"));
    open();
    displays_[0].reading = 2500;
    updateAll(nullptr);
    updateAll(nullptr);
    EXPECT_EQ(text("buttonSummaryFan0"), "2500 RPM");
    EXPECT_EQ(vectorFan[kSamples - 1], 2500.0f);
    EXPECT_EQ(vectorFan[kSamples - 2], 2500.0f);
}

TEST_F(Tick, AStatusButtonResetsItsSwitchAndGreysUntilTheNextTick)
{
    demo();
    GtkWidget* button = widget("buttonSummaryStatus0");
    testing::internal::CaptureStdout();
    gtk_button_clicked(GTK_BUTTON(button));
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("Done."), std::string::npos) << said;
    EXPECT_FALSE(gtk_widget_is_sensitive(button));
    updateAll(nullptr);
    EXPECT_TRUE(gtk_widget_is_sensitive(button));
}

}  // namespace
}  // namespace qv::test
