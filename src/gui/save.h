// Saving a page's settings into the profile, as the window reports it.
#pragma once

namespace qv {

// Mode 1: the Items page (monitor flags, polling interval); mode 2: the Alert page.
// A failure is printed and ends the window once the current callback returns.
void save_INI_File(int mode);

}  // namespace qv
