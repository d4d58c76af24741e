// Handlers of the Items and Alert pages' settings and of the Alert Messages window.
// Editing settings, saving them and the alert list come with the profile saver and the
// alerts; until then these controls change nothing.
#include "gui/callbacks.h"

namespace qv {

void on_treeview1_row_activated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer) {}
void on_buttonSelectAll_clicked(GtkButton*, gpointer) {}
void on_buttonUnselectAll_clicked(GtkButton*, gpointer) {}
void on_entryPolling_changed(GtkEditable*, gpointer) {}
void on_buttonItemsSave_clicked(GtkButton*, gpointer) {}
void on_entryMachineName_changed(GtkEditable*, gpointer) {}
void on_buttonMailTest_clicked(GtkButton*, gpointer) {}
void on_buttonAlertSave_clicked(GtkButton*, gpointer) {}
void on_checkbuttonEmailAlert_toggled(GtkToggleButton*, gpointer) {}
void on_entryRecipientMailbox_changed(GtkEditable*, gpointer) {}
void on_buttonUp_clicked(GtkButton*, gpointer) {}
void on_buttonDown_clicked(GtkButton*, gpointer) {}
void on_buttonAcknowledge_clicked(GtkButton*, gpointer) {}
void on_buttonDismiss_clicked(GtkButton*, gpointer) {}

}  // namespace qv
