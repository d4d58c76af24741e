// The window's signal handlers, connected by name in the constructors.
#pragma once

#include <gtk/gtk.h>

namespace qv {

// Menus and the end of the program.
void on_quit1_activate(GtkMenuItem* item, gpointer data);
void on_summary1_activate(GtkMenuItem* item, gpointer data);
void on_fan_speed_charts1_activate(GtkMenuItem* item, gpointer data);
void on_voltage_charts1_activate(GtkMenuItem* item, gpointer data);
void on_thermal_charts1_activate(GtkMenuItem* item, gpointer data);
void on_items1_activate(GtkMenuItem* item, gpointer data);
void on_alert1_activate(GtkMenuItem* item, gpointer data);
void on_about1_activate(GtkMenuItem* item, gpointer data);
void on_app1_destroy(GtkObject* object, gpointer data);
void on_about2_response(GtkDialog* dialog, gint response_id, gpointer data);

// Summary status buttons: the first eight reset their switch item.
void on_buttonSummaryStatus_clicked(int n);
void on_buttonSummaryStatus0_clicked(GtkButton* button, gpointer data);
void on_buttonSummaryStatus1_clicked(GtkButton* button, gpointer data);
void on_buttonSummaryStatus2_clicked(GtkButton* button, gpointer data);
void on_buttonSummaryStatus3_clicked(GtkButton* button, gpointer data);
void on_buttonSummaryStatus4_clicked(GtkButton* button, gpointer data);
void on_buttonSummaryStatus5_clicked(GtkButton* button, gpointer data);
void on_buttonSummaryStatus6_clicked(GtkButton* button, gpointer data);
void on_buttonSummaryStatus7_clicked(GtkButton* button, gpointer data);

// Items page.
void on_treeview1_row_activated(GtkTreeView* view, GtkTreePath* path, GtkTreeViewColumn* column, gpointer data);
void on_buttonSelectAll_clicked(GtkButton* button, gpointer data);
void on_buttonUnselectAll_clicked(GtkButton* button, gpointer data);
void on_entryPolling_changed(GtkEditable* editable, gpointer data);
void on_buttonItemsSave_clicked(GtkButton* button, gpointer data);

// Alert page and the Alert Messages window.
void on_entryMachineName_changed(GtkEditable* editable, gpointer data);
void on_buttonMailTest_clicked(GtkButton* button, gpointer data);
void on_buttonAlertSave_clicked(GtkButton* button, gpointer data);
void on_checkbuttonEmailAlert_toggled(GtkToggleButton* button, gpointer data);
void on_entryRecipientMailbox_changed(GtkEditable* editable, gpointer data);
void on_buttonShowAlertMessage_clicked(GtkButton* button, gpointer data);
void on_buttonUp_clicked(GtkButton* button, gpointer data);
void on_buttonDown_clicked(GtkButton* button, gpointer data);
void on_buttonAcknowledge_clicked(GtkButton* button, gpointer data);
void on_buttonDismiss_clicked(GtkButton* button, gpointer data);

}  // namespace qv
