// Finding widgets by name and loading the application's images.
#pragma once

#include <gtk/gtk.h>

#include <cstdio>

namespace qv {

// The widget registered under name on the top-level window that holds widget; logs
// "Widget not found: %s" and gives NULL when there is none.
GtkWidget* lookup_widget(GtkWidget* widget, const char* name);

// An application pixmap (under app-datadir/pixmaps), or NULL with a warning.
GdkPixbuf* create_pixbuf(const char* filename);

// Names widget, shows it and registers it on top under that name.
GtkWidget* hookup(GtkWidget* top, GtkWidget* widget, const char* name);

// A widget name with a slot number: "labelFan" and 3 give "labelFan3".
struct SlotName {
    char text[48];
    SlotName(const char* base, int slot) { std::snprintf(text, sizeof text, "%s%d", base, slot); }
    SlotName(const char* prefix, const char* category, const char* suffix = "", int slot = -1)
    {
        if (slot < 0) std::snprintf(text, sizeof text, "%s%s%s", prefix, category, suffix);
        else std::snprintf(text, sizeof text, "%s%s%s%d", prefix, category, suffix, slot);
    }
    operator const char*() const { return text; }
};

}  // namespace qv
