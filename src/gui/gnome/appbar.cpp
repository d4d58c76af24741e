// The status bar: a progress bar and a status field showing a stack of texts.
#include "gui/gnome/gnome.h"

G_DEFINE_TYPE(GnomeAppBar, gnome_appbar, GTK_TYPE_HBOX)

static void gnome_appbar_init(GnomeAppBar*) {}

static void free_stack(GnomeAppBar* appbar)
{
    g_slist_free_full(appbar->stack, g_free);
    appbar->stack = nullptr;
}

static void gnome_appbar_finalize(GObject* object)
{
    GnomeAppBar* appbar = GNOME_APPBAR(object);
    free_stack(appbar);
    g_free(appbar->default_status);
    G_OBJECT_CLASS(gnome_appbar_parent_class)->finalize(object);
}

static void gnome_appbar_class_init(GnomeAppBarClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = gnome_appbar_finalize;
}

static GtkWidget* status_field(GnomeAppBar* appbar)
{
    appbar->status = gtk_label_new("");
    gtk_misc_set_alignment(GTK_MISC(appbar->status), 0.0, 0.5);
    gtk_misc_set_padding(GTK_MISC(appbar->status), 2, 0);
    // A long status is cut rather than widening the window.
    gtk_label_set_ellipsize(GTK_LABEL(appbar->status), PANGO_ELLIPSIZE_END);
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(frame), appbar->status);
    gtk_widget_show(appbar->status);
    gtk_widget_show(frame);
    return frame;
}

GtkWidget* gnome_appbar_new(gboolean has_progress, gboolean has_status, GnomePreferencesType interactivity)
{
    auto* appbar = GNOME_APPBAR(g_object_new(GNOME_TYPE_APPBAR, "spacing", 4, nullptr));
    appbar->interactivity = interactivity;
    if (has_progress) {
        appbar->progress = gtk_progress_bar_new();
        gtk_box_pack_start(GTK_BOX(appbar), appbar->progress, FALSE, FALSE, 0);
        gtk_widget_show(appbar->progress);
    }
    if (has_status) gtk_box_pack_start(GTK_BOX(appbar), status_field(appbar), TRUE, TRUE, 0);
    return GTK_WIDGET(appbar);
}

void gnome_appbar_set_status(GnomeAppBar* appbar, const gchar* status)
{
    g_return_if_fail(GNOME_IS_APPBAR(appbar));
    if (appbar->status != nullptr) gtk_label_set_text(GTK_LABEL(appbar->status), status != nullptr ? status : "");
}

void gnome_appbar_set_default(GnomeAppBar* appbar, const gchar* default_status)
{
    g_return_if_fail(GNOME_IS_APPBAR(appbar));
    g_free(appbar->default_status);
    appbar->default_status = g_strdup(default_status);
    gnome_appbar_refresh(appbar);
}

void gnome_appbar_push(GnomeAppBar* appbar, const gchar* status)
{
    g_return_if_fail(GNOME_IS_APPBAR(appbar));
    appbar->stack = g_slist_prepend(appbar->stack, g_strdup(status != nullptr ? status : ""));
    gnome_appbar_refresh(appbar);
}

void gnome_appbar_pop(GnomeAppBar* appbar)
{
    g_return_if_fail(GNOME_IS_APPBAR(appbar));
    if (appbar->stack == nullptr) return;
    g_free(appbar->stack->data);
    appbar->stack = g_slist_delete_link(appbar->stack, appbar->stack);
    gnome_appbar_refresh(appbar);
}

void gnome_appbar_clear_stack(GnomeAppBar* appbar)
{
    g_return_if_fail(GNOME_IS_APPBAR(appbar));
    free_stack(appbar);
    gnome_appbar_refresh(appbar);
}

void gnome_appbar_refresh(GnomeAppBar* appbar)
{
    g_return_if_fail(GNOME_IS_APPBAR(appbar));
    if (appbar->stack != nullptr)
        gnome_appbar_set_status(appbar, static_cast<const gchar*>(appbar->stack->data));
    else
        gnome_appbar_set_status(appbar, appbar->default_status);
}

GtkProgressBar* gnome_appbar_get_progress(GnomeAppBar* appbar)
{
    g_return_val_if_fail(GNOME_IS_APPBAR(appbar), nullptr);
    return appbar->progress != nullptr ? GTK_PROGRESS_BAR(appbar->progress) : nullptr;
}

const gchar* gnome_appbar_get_status(GnomeAppBar* appbar)
{
    g_return_val_if_fail(GNOME_IS_APPBAR(appbar), "");
    return appbar->status != nullptr ? gtk_label_get_text(GTK_LABEL(appbar->status)) : "";
}
