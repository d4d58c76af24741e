// The alert check of each tick.
#include "gui/pages.h"

namespace qv {

// Alerts need the alert list and the mail path; until those exist no item raises one.
void build_Alert(GtkWidget*, const SystemSection&, std::span<ItemDisplay>) {}

}  // namespace qv
