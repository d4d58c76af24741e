// The real window on a simulated machine: built as start-up builds it, ticked by
// calling updateAll, and read back by widget name.
#pragma once

#include "app/report.h"
#include "gui/callbacks.h"
#include "gui/globals.h"
#include "gui/gnome/gnome.h"
#include "gui/pages.h"
#include "gui/support.h"
#include "gui/window.h"
#include "profile/loader.h"
#include "sim/board.h"
#include "support/engine_fixture.h"

#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace qv::test {

// A profile of placeholder items that read nothing.
inline std::string quiet_profile(int items)
{
    std::string blocks;
    for (int i = 0; i < items; ++i)
        blocks += "[Item]\nITEM_NAME=Item" + std::to_string(i) +
                  "\nITEM_CAT=SWITCH\nBUSTYPE=00\nCHIPCODE=1b\nPARAINDEX1=SWITCH1A\nPARAINDEX2=SWITCH1A\n"
                  "MONITOR=TRUE\n\n";
    return profile_text("02", blocks + "[Parameter]\nPARAMETER=SWITCH1A\nSLAVE=0\nOFFSET=0\nBITMASK=1\n");
}

class WindowTest : public EngineTest {
protected:
    void TearDown() override
    {
        if (timer != 0) gtk_timeout_remove(static_cast<guint>(timer));
        timer = 0;
        // Closing would quit a main loop that is not running: the windows just go away.
        if (myapp1 != nullptr)
            g_signal_handlers_disconnect_by_func(myapp1, reinterpret_cast<gpointer>(on_app1_destroy), nullptr);
        for (GtkWidget** window : {&myapp1, &mywindowAlertMessage, &myabout2}) {
            if (*window != nullptr) gtk_widget_destroy(*window);
            *window = nullptr;
        }
        settle();
        EngineTest::TearDown();
    }

    // The window over the loaded profile, with the engine's display table or these.
    void open() { open(createItemDisps(profile_)); }
    void open(std::vector<ItemDisplay> displays)
    {
        displays_ = std::move(displays);
        start();
    }
    // The window over placeholder items named and watched as the displays, which then
    // show what the test puts into them.
    void show(std::vector<ItemDisplay> displays, const sim::json& board = sim::json::object())
    {
        load(quiet_profile(static_cast<int>(displays.size())), board);
        for (std::size_t i = 0; i < displays.size(); ++i) {
            set_text(profile_.items[i].Name, displays[i].name);
            profile_.items[i].Monitor = displays[i].monitor;
        }
        open(std::move(displays));
    }

    GtkWidget* widget(const std::string& name, GtkWidget* window = myapp1)
    {
        return lookup_widget(window, name.c_str());
    }
    bool visible(const std::string& name) { return gtk_widget_get_visible(widget(name)) != 0; }
    // A button's or label's text, in the main window or another.
    std::string text(const std::string& name, GtkWidget* window = myapp1)
    {
        GtkWidget* w = widget(name, window);
        if (GTK_IS_BUTTON(w)) return gtk_button_get_label(GTK_BUTTON(w));
        return gtk_label_get_text(GTK_LABEL(w));
    }
    void redraw()
    {
        build_Summary(myapp1, displays_);
        build_Fan(myapp1, displays_);
        build_Voltage(myapp1, displays_);
        build_Thermal(myapp1, displays_);
    }
    static void settle()
    {
        while (gtk_events_pending()) gtk_main_iteration();
    }

    static sim::Sandbox& data_folder()
    {
        static sim::Sandbox folder("");
        static const bool installed = (sim::install_system_files(folder), true);
        (void)installed;
        return folder;
    }

    std::vector<ItemDisplay> displays_;

private:
    void start()
    {
        static char program[] = "qv_window_tests";
        char* argv[] = {program, nullptr};
        // The program's data folder outlives every test's machine.
        if (gnome_program_get() == nullptr)
            gnome_program_init("quorvel", "2.87", LIBGNOMEUI_MODULE, 1, argv, GNOME_PARAM_APP_DATADIR,
                               data_folder().map("/usr/local/share").c_str(), nullptr);
        open_windows(1, argv);
        myspQuorvel = &profile_;
        start_pages(displays_, profile_);
    }
};

// A display record as the engine would fill it.
inline ItemDisplay shown(const char* name, int32_t category, int32_t reading, int32_t high = 0, int32_t low = 0,
                         int32_t monitor = 1)
{
    ItemDisplay d{.category = category, .reading = reading, .highLimit = high, .lowLimit = low, .monitor = monitor};
    set_text(d.name, name);
    return d;
}

}  // namespace qv::test
