// What the configurable menu entries stand for, shared by the menus and their hints.
#pragma once

#include "gui/gnome/gnome.h"

namespace qv::gnome {

struct ConfigurableItem {
    const char* label;
    const char* stock_id;
    const char* hint;
    guint accel_key;  // 0: none
    GdkModifierType accel_mods;
};

// NULL for the kinds not supported here.
const ConfigurableItem* configurable_item(guint which);

// The hint an entry shows while selected, or NULL.
const char* entry_hint(const GnomeUIInfo& entry);

bool is_subtree(const GnomeUIInfo& entry);

}  // namespace qv::gnome
