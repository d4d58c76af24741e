// The about box: a plain dialog, so it looks the same wherever it runs.
#include "gui/gnome/gnome.h"

namespace {

GtkWidget* centred_label(const gchar* text, bool markup)
{
    GtkWidget* label = gtk_label_new(nullptr);
    if (markup)
        gtk_label_set_markup(GTK_LABEL(label), text);
    else
        gtk_label_set_text(GTK_LABEL(label), text);
    gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    return label;
}

void add_text(GtkBox* box, const gchar* text)
{
    if (text != nullptr && *text != '\0') gtk_box_pack_start(box, centred_label(text, false), FALSE, FALSE, 0);
}

void add_title(GtkBox* box, const gchar* name, const gchar* version)
{
    gchar* markup = version != nullptr
                        ? g_markup_printf_escaped("<span size=\"xx-large\" weight=\"bold\">%s %s</span>", name, version)
                        : g_markup_printf_escaped("<span size=\"xx-large\" weight=\"bold\">%s</span>", name);
    gtk_box_pack_start(box, centred_label(markup, true), FALSE, FALSE, 0);
    g_free(markup);
}

void add_credits(GtkBox* box, const gchar* heading, const gchar** people)
{
    if (people == nullptr || people[0] == nullptr) return;
    gchar* markup = g_markup_printf_escaped("<b>%s</b>", heading);
    gtk_box_pack_start(box, centred_label(markup, true), FALSE, FALSE, 0);
    g_free(markup);
    gchar* names = g_strjoinv("\n", const_cast<gchar**>(people));
    add_text(box, names);
    g_free(names);
}

GtkWidget* credits_box(const gchar* name, const gchar* version, const gchar* copyright, const gchar* comments,
                       const gchar** authors, const gchar** documenters, const gchar* translator_credits,
                       GdkPixbuf* logo_pixbuf)
{
    GtkWidget* vbox = gtk_vbox_new(FALSE, 8);
    gtk_container_set_border_width(GTK_CONTAINER(vbox), 12);
    GtkBox* box = GTK_BOX(vbox);
    if (logo_pixbuf != nullptr) gtk_box_pack_start(box, gtk_image_new_from_pixbuf(logo_pixbuf), FALSE, FALSE, 0);
    add_title(box, name, version);
    add_text(box, copyright);
    add_text(box, comments);
    add_credits(box, "Written by:", authors);
    add_credits(box, "Documented by:", documenters);
    const gchar* translators[] = {translator_credits, nullptr};
    add_credits(box, "Translated by:", translator_credits != nullptr && *translator_credits ? translators : nullptr);
    return vbox;
}

}  // namespace

GtkWidget* gnome_about_new(const gchar* name, const gchar* version, const gchar* copyright, const gchar* comments,
                           const gchar** authors, const gchar** documenters, const gchar* translator_credits,
                           GdkPixbuf* logo_pixbuf)
{
    g_return_val_if_fail(name != nullptr, nullptr);
    GtkWidget* dialog = gtk_dialog_new();
    gchar* title = g_strconcat("About ", name, nullptr);
    gtk_window_set_title(GTK_WINDOW(dialog), title);
    g_free(title);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);

    GtkWidget* credits = credits_box(name, version, copyright, comments, authors, documenters, translator_credits,
                                     logo_pixbuf);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), credits, TRUE, TRUE, 0);
    gtk_widget_show_all(credits);

    gtk_dialog_add_button(GTK_DIALOG(dialog), GTK_STOCK_CLOSE, GTK_RESPONSE_CLOSE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_CLOSE);
    return dialog;
}
