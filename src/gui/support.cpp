#include "gui/support.h"

#include "gui/gnome/gnome.h"

namespace qv {

namespace {

GtkWidget* parent_of(GtkWidget* widget)
{
    GtkWidget* parent = GTK_IS_MENU(widget) ? gtk_menu_get_attach_widget(GTK_MENU(widget)) : widget->parent;
    if (parent == nullptr) parent = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(widget), "GladeParentKey"));
    return parent;
}

// Object data is a list searched by comparing names: with a thousand names a window's
// lookups would cost more than its readings. A hash table beside it finds them at once.
GQuark names_quark()
{
    static const GQuark quark = g_quark_from_static_string("quorvel-widget-names");
    return quark;
}

GHashTable* names_of(GtkWidget* top)
{
    auto* names = static_cast<GHashTable*>(g_object_get_qdata(G_OBJECT(top), names_quark()));
    if (names != nullptr) return names;
    names = g_hash_table_new_full(g_str_hash, g_str_equal, g_free, nullptr);
    g_object_set_qdata_full(G_OBJECT(top), names_quark(), names, reinterpret_cast<GDestroyNotify>(g_hash_table_unref));
    return names;
}

}  // namespace

GtkWidget* lookup_widget(GtkWidget* widget, const char* name)
{
    // Our windows carry their names table: the walk ends there, before the costly
    // search of a window's object data for a parent key it never has.
    GHashTable* names = nullptr;
    for (;;) {
        names = static_cast<GHashTable*>(g_object_get_qdata(G_OBJECT(widget), names_quark()));
        GtkWidget* parent = names == nullptr ? parent_of(widget) : nullptr;
        if (parent == nullptr) break;
        widget = parent;
    }
    auto* found = static_cast<GtkWidget*>(names != nullptr ? g_hash_table_lookup(names, name)
                                                           : g_object_get_data(G_OBJECT(widget), name));
    if (found == nullptr) g_warning("Widget not found: %s", name);
    return found;
}

GdkPixbuf* create_pixbuf(const char* filename)
{
    if (filename == nullptr || filename[0] == '\0') return nullptr;
    gchar* path = gnome_program_locate_file(gnome_program_get(), GNOME_FILE_DOMAIN_APP_PIXMAP, filename, TRUE, nullptr);
    if (path == nullptr) {
        g_warning("Couldn't find pixmap file: %s", filename);
        return nullptr;
    }
    GError* error = nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path, &error);
    if (pixbuf == nullptr) {
        std::fprintf(stderr, "Failed to load pixbuf file: %s: %s\n", path, error->message);
        g_error_free(error);
    }
    g_free(path);
    return pixbuf;
}

GtkWidget* hookup(GtkWidget* top, GtkWidget* widget, const char* name)
{
    gtk_widget_set_name(widget, name);
    // The table holds no reference: the object data below keeps the widget.
    g_hash_table_replace(names_of(top), g_strdup(name), widget);
    if (widget == top) {
        // The window's own entry holds no reference: it would keep the window alive.
        g_object_set_data(G_OBJECT(top), name, widget);
        return widget;
    }
    gtk_widget_show(widget);
    g_object_set_data_full(G_OBJECT(top), name, g_object_ref(widget), g_object_unref);
    return widget;
}

}  // namespace qv
