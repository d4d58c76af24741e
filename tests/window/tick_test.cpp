// Polling ticks on simulated boards: readings reach every page, failed reads repeat the
// last value, a status button resets its switch, a silent BMC costs one time-out a tick;
// and a picture of each page.
#include "gui/callbacks.h"
#include "ipmi/ipmi.h"
#include "profile/availability.h"
#include "profile/generator.h"
#include "sim/board.h"
#include "sim/devices/bmc.h"
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
    // Three ticks after the first fill: four samples of CPU1 FAN.
    EXPECT_EQ(vectorFan[kSamples - 4], 5400.0f);
    EXPECT_EQ(vectorFan[kSamples - 5], 0.0f);
    EXPECT_EQ(gtk_tree_model_iter_n_children(GTK_TREE_MODEL(list_store), nullptr),
              static_cast<gint>(profile_.items.size()));

    const char* pages[] = {"summary", "fan", "voltage", "thermal", "items", "alert"};
    for (int page = 0; page < 6; ++page) {
        gtk_notebook_set_current_page(GTK_NOTEBOOK(widget("notebook1")), page);
        save_window(myapp1, std::string(pages[page]) + ".png");
    }
    // The slow rear fan raised an alert at the first fill.
    ASSERT_TRUE(gtk_widget_get_visible(mywindowAlertMessage));
    EXPECT_EQ(text("labelIndexCount", mywindowAlertMessage), "1/1");
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

// While the BMC is silent a tick waits one time-out at most and keeps the last values;
// once it answers, it reads again.
TEST_F(Tick, ASilentBmcCostsOneTimeOutATickUntilItAnswersAgain)
{
    load(profile_text("0B", "[Item]\nITEM_NAME=Inlet Temperature\nITEM_CAT=TEMP\nBUSTYPE=01\nCHIPCODE=1E\nSLAVE=2D\n"
                            "OFFSET=42\nMONITOR=TRUE\n"),
         sim::json::parse(R"({"bmc": {"openipmi": "/dev/ipmi0", "kind": "ob_winbond",
             "buses": {"2": {"0x2D": {"bank_register": "0xFF", "banks": {"0": {"0x42": "0x1B"}}}}}}})"));
    open();
    sim::Bmc& bmc = *sim::find_bmc(session().machine());
    const int32_t healthy = displays_[0].reading;
    ASSERT_GT(healthy, 0);
    // The time a tick waited and the requests it sent.
    const auto tick = [&] {
        const uint64_t time = session().clock().elapsed_us();
        const std::size_t requests = bmc.requests().size();
        EXPECT_TRUE(updateAll(nullptr));
        return std::pair(session().clock().elapsed_us() - time, bmc.requests().size() - requests);
    };

    bmc.answer_again(0);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        displays_[0].reading = -7;
        EXPECT_EQ(tick(), std::pair(uint64_t{kIpmiAnswerTimeoutMs} * 1000, std::size_t{1}));
        EXPECT_EQ(displays_[0].reading, -7);
    }
    // The BMC's line comes once.
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string stopped = "Warn: The BMC stopped answering; its items are not read until the next poll.\n";
    EXPECT_NE(err.find(stopped), std::string::npos) << err;
    EXPECT_EQ(err.find(stopped), err.rfind(stopped)) << err;

    bmc.answer_again();
    const auto [waited, sent] = tick();
    EXPECT_EQ(waited, 0u);
    EXPECT_GE(sent, 1u);
    EXPECT_EQ(displays_[0].reading, healthy);
}

}  // namespace
}  // namespace qv::test
