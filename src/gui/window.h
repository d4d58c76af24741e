// The window mode, as start-up runs it.
#pragma once

#include "profile/records.h"
#include "sensors/item_display.h"

#include <span>

namespace qv {

// GNOME initialisation: GTK reads its own options from argc/argv. Without a display
// GTK says so and ends the process. Later calls do nothing.
void init_window_toolkit(int argc, char** argv);
// The four windows, the main one shown at (0, 0) and the Alert Messages window placed
// beside it and hidden.
void open_windows(int argc, char** argv);
// The Items model and its columns, the first fill of every page and the polling timer.
void start_pages(std::span<ItemDisplay> displays, const LoadedProfile& profile);
// Until the main window is closed or Exit is chosen.
void run_main_loop();

}  // namespace qv
