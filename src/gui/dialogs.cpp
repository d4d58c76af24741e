// The Alert Messages window, the about box and the message dialog.
#include "gui/callbacks.h"
#include "gui/gnome/gnome.h"
#include "gui/interface.h"
#include "gui/support.h"

namespace qv {

namespace {

struct MessageButton {
    const char* name;
    const char* text;  // a stock id when stock is set
    bool stock;
    guint column, row, ypad;
    void (*handler)(GtkButton*, gpointer);
};
const MessageButton kMessageButtons[] = {
    {"buttonUp", "gtk-go-up", true, 2, 0, 4, on_buttonUp_clicked},
    {"buttonAcknowledge", "Acknowledge", false, 0, 1, 0, on_buttonAcknowledge_clicked},
    {"buttonDismiss", "Dismiss", false, 1, 1, 0, on_buttonDismiss_clicked},
    {"buttonDown", "gtk-go-down", true, 2, 1, 4, on_buttonDown_clicked},
};

GtkWidget* message_buttons(GtkWidget* window)
{
    GtkWidget* table = hookup(window, gtk_table_new(2, 3, FALSE), "table9");
    gtk_widget_set_size_request(table, 318, 76);
    for (const MessageButton& b : kMessageButtons) {
        GtkWidget* button = b.stock ? gtk_button_new_from_stock(b.text) : gtk_button_new_with_mnemonic(b.text);
        hookup(window, button, b.name);
        gtk_widget_set_size_request(button, 90, 30);
        gtk_table_attach(GTK_TABLE(table), button, b.column, b.column + 1, b.row, b.row + 1, GTK_FILL,
                         GtkAttachOptions(0), 8, b.ypad);
        g_signal_connect(button, "clicked", G_CALLBACK(b.handler), nullptr);
    }
    GtkWidget* count = hookup(window, gtk_label_new("0 / 0"), "labelIndexCount");
    gtk_widget_set_size_request(count, 26, 16);
    gtk_label_set_justify(GTK_LABEL(count), GTK_JUSTIFY_RIGHT);
    gtk_misc_set_alignment(GTK_MISC(count), 0, 0.5);
    gtk_table_attach(GTK_TABLE(table), count, 1, 2, 0, 1, GTK_FILL, GtkAttachOptions(0), 8, 0);
    return table;
}

}  // namespace

GtkWidget* create_windowAlertMessage()
{
    GtkWidget* window = gtk_window_new(GTK_WINDOW_POPUP);
    hookup(window, window, "windowAlertMessage");
    gtk_window_set_title(GTK_WINDOW(window), "Alert Messages");
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);

    GtkWidget* vbox = hookup(window, gtk_vbox_new(FALSE, 0), "vbox3");
    gtk_widget_set_size_request(vbox, 320, 220);
    gtk_container_add(GTK_CONTAINER(window), vbox);
    GtkWidget* scrolled = hookup(window, gtk_scrolled_window_new(nullptr, nullptr), "scrolledwindow2");
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    gtk_box_pack_start(GTK_BOX(vbox), scrolled, TRUE, TRUE, 0);
    GtkWidget* viewport = hookup(window, gtk_viewport_new(nullptr, nullptr), "viewport7");
    gtk_container_add(GTK_CONTAINER(scrolled), viewport);
    GtkWidget* message = hookup(window, gtk_label_new(""), "labelAlertMsg");
    gtk_label_set_justify(GTK_LABEL(message), GTK_JUSTIFY_LEFT);
    gtk_container_add(GTK_CONTAINER(viewport), message);
    gtk_box_pack_start(GTK_BOX(vbox), message_buttons(window), FALSE, TRUE, 0);
    return window;
}

GtkWidget* create_about2()
{
    const gchar* authors[] = {"The Quorvel II developers", nullptr};
    const gchar* documenters[] = {nullptr};
    GdkPixbuf* logo = create_pixbuf("quorvel/idr_main.ico");
    GtkWidget* about = gnome_about_new("Quorvel II", "2.87", "Copyright (C) 2026 The Quorvel II developers", "",
                                       authors, documenters, nullptr, logo);
    hookup(about, about, "about2");
    if (logo != nullptr) {
        gtk_window_set_icon(GTK_WINDOW(about), logo);
        // Every later window, the main one too, carries the icon.
        gtk_window_set_default_icon(logo);
        g_object_unref(logo);
    }
    g_signal_connect(about, "response", G_CALLBACK(on_about2_response), nullptr);
    return about;
}

GtkWidget* create_dialogInfo()
{
    GtkWidget* dialog = gtk_dialog_new();
    hookup(dialog, dialog, "dialogInfo");
    gtk_window_set_title(GTK_WINDOW(dialog), "Information / Warning");

    GtkWidget* vbox = hookup(dialog, GTK_DIALOG(dialog)->vbox, "dialog_vboxInfo");
    gtk_widget_set_size_request(vbox, 260, 80);
    GtkWidget* label = hookup(dialog, gtk_label_new("Information / Warning"), "labelInfo");
    gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_LEFT);
    gtk_box_pack_start(GTK_BOX(vbox), label, FALSE, FALSE, 8);

    GtkWidget* actions = hookup(dialog, GTK_DIALOG(dialog)->action_area, "dialog_action_areaInfo");
    gtk_button_box_set_layout(GTK_BUTTON_BOX(actions), GTK_BUTTONBOX_END);
    GtkWidget* ok = hookup(dialog, gtk_button_new_from_stock("gtk-ok"), "okbuttonInfo");
    gtk_dialog_add_action_widget(GTK_DIALOG(dialog), ok, GTK_RESPONSE_OK);
    gtk_widget_set_can_default(ok, TRUE);
    g_signal_connect_swapped(ok, "clicked", G_CALLBACK(gtk_widget_hide), dialog);
    return dialog;
}

}  // namespace qv
