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

}  // namespace

GtkWidget* lookup_widget(GtkWidget* widget, const char* name)
{
    for (GtkWidget* parent = widget; parent != nullptr; parent = parent_of(widget)) widget = parent;
    auto* found = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(widget), name));
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
