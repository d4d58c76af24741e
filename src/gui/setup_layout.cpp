// The Items and Alert pages: the settings the user edits.
#include "gui/callbacks.h"
#include "gui/interface.h"
#include "gui/support.h"

namespace qv {

namespace {

GtkWidget* sized(GtkWidget* widget, int width, int height)
{
    gtk_widget_set_size_request(widget, width, height);
    return widget;
}

GtkWidget* label(GtkWidget* app1, const char* name, const char* text, int width, int height)
{
    return sized(hookup(app1, gtk_label_new(text), name), width, height);
}

GtkWidget* button(GtkWidget* app1, const char* name, const char* text, int width, GCallback handler)
{
    GtkWidget* b = sized(hookup(app1, gtk_button_new_with_mnemonic(text), name), width, 26);
    g_signal_connect(b, "clicked", handler, nullptr);
    return b;
}

GtkWidget* entry(GtkWidget* app1, const char* name, int width, int max_length, GCallback handler)
{
    GtkWidget* e = sized(hookup(app1, gtk_entry_new(), name), width, 24);
    if (max_length > 0) gtk_entry_set_max_length(GTK_ENTRY(e), max_length);
    g_signal_connect(e, "changed", handler, nullptr);
    return e;
}

void pack(GtkWidget* box, GtkWidget* child, gboolean expand, gboolean fill, guint padding)
{
    gtk_box_pack_start(GTK_BOX(box), child, expand, fill, padding);
}

GtkWidget* polling_bar(GtkWidget* app1)
{
    GtkWidget* hbox = sized(hookup(app1, gtk_hbox_new(FALSE, 0), "hbox1"), 500, 32);
    pack(hbox, label(app1, "label1", "Polling Interval:", 110, 16), FALSE, FALSE, 0);
    pack(hbox, entry(app1, "entryPolling", 40, 3, G_CALLBACK(on_entryPolling_changed)), FALSE, FALSE, 0);
    pack(hbox, label(app1, "label2", "Seconds", 70, 16), FALSE, FALSE, 0);
    pack(hbox, label(app1, "label3", "", 100, 16), FALSE, FALSE, 0);
    pack(hbox, button(app1, "buttonSelectAll", "Select All", 90, G_CALLBACK(on_buttonSelectAll_clicked)), FALSE, FALSE, 4);
    pack(hbox, button(app1, "buttonUnselectAll", "Unselect All", 90, G_CALLBACK(on_buttonUnselectAll_clicked)), FALSE, FALSE, 4);
    pack(hbox, button(app1, "buttonItemsSave", "Save", 60, G_CALLBACK(on_buttonItemsSave_clicked)), FALSE, FALSE, 4);
    return hbox;
}

GtkWidget* machine_bar(GtkWidget* app1)
{
    GtkWidget* hbox = sized(hookup(app1, gtk_hbox_new(FALSE, 0), "hbox2"), 600, 32);
    pack(hbox, label(app1, "labelNameForThisSystem", "Name for this system:", 150, 16), FALSE, FALSE, 8);
    pack(hbox, entry(app1, "entryMachineName", 220, 30, G_CALLBACK(on_entryMachineName_changed)), FALSE, FALSE, 0);
    pack(hbox, label(app1, "label5", "", 30, 26), FALSE, FALSE, 8);
    pack(hbox, button(app1, "buttonMailTest", "E-mail Test", 100, G_CALLBACK(on_buttonMailTest_clicked)), FALSE, FALSE, 4);
    pack(hbox, button(app1, "buttonAlertSave", "Save", 60, G_CALLBACK(on_buttonAlertSave_clicked)), FALSE, FALSE, 4);
    return hbox;
}

GtkWidget* mail_table(GtkWidget* app1)
{
    GtkWidget* table = hookup(app1, gtk_table_new(3, 2, FALSE), "table8");
    const auto fill = GTK_FILL;
    const auto none = GtkAttachOptions(0);

    GtkWidget* check = sized(hookup(app1, gtk_check_button_new_with_mnemonic("E-mail Alert"), "checkbuttonMailAlert"), 100, 20);
    g_signal_connect(check, "toggled", G_CALLBACK(on_checkbuttonEmailAlert_toggled), nullptr);
    gtk_table_attach(GTK_TABLE(table), check, 0, 1, 0, 1, fill, none, 0, 0);

    GtkWidget* note = label(app1, "labelInOrderTo",
                            "* In order to send alerts by e-mail, this system needs to be connected to a network.", 500, 20);
    gtk_table_attach(GTK_TABLE(table), note, 0, 2, 1, 2, fill, none, 0, 0);

    GtkWidget* recipients = label(app1, "label7", "Recipients:", 100, 16);
    gtk_label_set_justify(GTK_LABEL(recipients), GTK_JUSTIFY_RIGHT);
    gtk_table_attach(GTK_TABLE(table), recipients, 0, 1, 2, 3, fill, none, 0, 0);

    GtkWidget* mailbox = entry(app1, "entryRecipientMailbox", 500, 0, G_CALLBACK(on_entryRecipientMailbox_changed));
    gtk_table_attach(GTK_TABLE(table), mailbox, 1, 2, 2, 3, GtkAttachOptions(GTK_EXPAND | GTK_FILL), none, 0, 0);
    return table;
}

}  // namespace

GtkWidget* create_items_page(GtkWidget* app1)
{
    GtkWidget* vbox = sized(hookup(app1, gtk_vbox_new(FALSE, 0), "vbox1"), 500, 130);
    pack(vbox, polling_bar(app1), FALSE, TRUE, 10);

    GtkWidget* scrolled = sized(hookup(app1, gtk_scrolled_window_new(nullptr, nullptr), "scrolledwindow1"), 500, 400);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    pack(vbox, scrolled, TRUE, TRUE, 0);
    GtkWidget* view = hookup(app1, gtk_tree_view_new(), "treeview1");
    gtk_tree_view_set_enable_search(GTK_TREE_VIEW(view), FALSE);
    g_signal_connect(view, "row_activated", G_CALLBACK(on_treeview1_row_activated), nullptr);
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    return vbox;
}

GtkWidget* create_alert_page(GtkWidget* app1)
{
    GtkWidget* vbox = hookup(app1, gtk_vbox_new(FALSE, 0), "vbox2");
    pack(vbox, machine_bar(app1), FALSE, TRUE, 10);
    pack(vbox, hookup(app1, gtk_hseparator_new(), "hseparator1"), FALSE, FALSE, 0);
    pack(vbox, mail_table(app1), FALSE, TRUE, 10);
    pack(vbox, hookup(app1, gtk_hseparator_new(), "hseparator2"), FALSE, FALSE, 0);

    GtkWidget* hbox = sized(hookup(app1, gtk_hbox_new(FALSE, 0), "hbox3"), 198, 32);
    pack(hbox, button(app1, "buttonShowAlertMessage", "Show Alert messages", 150,
                      G_CALLBACK(on_buttonShowAlertMessage_clicked)), FALSE, FALSE, 8);
    pack(vbox, hbox, FALSE, FALSE, 10);
    return vbox;
}

}  // namespace qv
