// The application window: a dock (menu bar over contents) above the status bar.
#include "gui/gnome/gnome.h"

G_DEFINE_TYPE(GnomeApp, gnome_app, GTK_TYPE_WINDOW)

static void gnome_app_init(GnomeApp* app)
{
    app->vbox = gtk_vbox_new(FALSE, 0);
    app->dock = gtk_vbox_new(FALSE, 0);
    gtk_box_pack_start(GTK_BOX(app->vbox), app->dock, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(app), app->vbox);
    gtk_widget_show(app->dock);
    gtk_widget_show(app->vbox);

    // Our own reference keeps the field valid for as long as the window lives.
    app->accel_group = gtk_accel_group_new();
    gtk_window_add_accel_group(GTK_WINDOW(app), app->accel_group);
}

static void gnome_app_finalize(GObject* object)
{
    GnomeApp* app = GNOME_APP(object);
    g_free(app->name);
    g_object_unref(app->accel_group);
    G_OBJECT_CLASS(gnome_app_parent_class)->finalize(object);
}

static void gnome_app_class_init(GnomeAppClass* klass) { G_OBJECT_CLASS(klass)->finalize = gnome_app_finalize; }

GtkWidget* gnome_app_new(const gchar* appname, const gchar* title)
{
    auto* app = GNOME_APP(g_object_new(GNOME_TYPE_APP, nullptr));
    app->name = g_strdup(appname);
    gtk_window_set_title(GTK_WINDOW(app), title != nullptr ? title : appname);
    return GTK_WIDGET(app);
}

void gnome_app_set_contents(GnomeApp* app, GtkWidget* contents)
{
    g_return_if_fail(GNOME_IS_APP(app));
    g_return_if_fail(GTK_IS_WIDGET(contents));
    if (app->contents != nullptr) gtk_container_remove(GTK_CONTAINER(app->dock), app->contents);
    app->contents = contents;
    gtk_box_pack_start(GTK_BOX(app->dock), contents, TRUE, TRUE, 0);
    gtk_widget_show(contents);
}

void gnome_app_set_statusbar(GnomeApp* app, GtkWidget* statusbar)
{
    g_return_if_fail(GNOME_IS_APP(app));
    g_return_if_fail(GTK_IS_WIDGET(statusbar));
    if (app->statusbar != nullptr) gtk_container_remove(GTK_CONTAINER(app->vbox), app->statusbar);
    app->statusbar = statusbar;
    gtk_box_pack_start(GTK_BOX(app->vbox), statusbar, FALSE, FALSE, 0);
    gtk_widget_show(statusbar);
}
