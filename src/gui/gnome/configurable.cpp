#include "gui/gnome/configurable.h"

#include <gdk/gdkkeysyms.h>

namespace qv::gnome {

const ConfigurableItem* configurable_item(guint which)
{
    static const ConfigurableItem quit = {"_Quit", GTK_STOCK_QUIT, "Quit the application", GDK_KEY_q,
                                          GDK_CONTROL_MASK};
    static const ConfigurableItem about = {"_About", GTK_STOCK_ABOUT, "About this application", 0,
                                           GdkModifierType(0)};
    switch (which) {
    case GNOME_APP_CONFIGURABLE_ITEM_EXIT: return &quit;
    case GNOME_APP_CONFIGURABLE_ITEM_ABOUT: return &about;
    default: return nullptr;
    }
}

const char* entry_hint(const GnomeUIInfo& entry)
{
    if (entry.type != GNOME_APP_UI_ITEM_CONFIGURABLE) return entry.hint;
    const ConfigurableItem* item = configurable_item(entry.accelerator_key);
    return item != nullptr ? item->hint : nullptr;
}

bool is_subtree(const GnomeUIInfo& entry)
{
    return entry.type == GNOME_APP_UI_SUBTREE || entry.type == GNOME_APP_UI_SUBTREE_STOCK;
}

}  // namespace qv::gnome
