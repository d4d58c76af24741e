// The menu bar, the about box, the status buttons and the end of the program.
#include "gui/callbacks.h"
#include "gui/globals.h"
#include "gui/interface.h"
#include "gui/support.h"
#include "profile/loader.h"
#include "sensors/intrusion.h"

#include <algorithm>

namespace qv {

namespace {

void show_page(GtkMenuItem* item, int page)
{
    gtk_notebook_set_current_page(GTK_NOTEBOOK(lookup_widget(GTK_WIDGET(item), "notebook1")), page);
}

void reset_and_grey(GtkButton* button, int n)
{
    on_buttonSummaryStatus_clicked(n);
    gtk_widget_set_sensitive(GTK_WIDGET(button), FALSE);
}

}  // namespace

void on_summary1_activate(GtkMenuItem* item, gpointer) { show_page(item, 0); }
void on_fan_speed_charts1_activate(GtkMenuItem* item, gpointer) { show_page(item, 1); }
void on_voltage_charts1_activate(GtkMenuItem* item, gpointer) { show_page(item, 2); }
void on_thermal_charts1_activate(GtkMenuItem* item, gpointer) { show_page(item, 3); }
void on_items1_activate(GtkMenuItem* item, gpointer) { show_page(item, 4); }
void on_alert1_activate(GtkMenuItem* item, gpointer) { show_page(item, 5); }

void on_quit1_activate(GtkMenuItem*, gpointer) { gtk_main_quit(); }
void on_app1_destroy(GtkObject*, gpointer) { gtk_main_quit(); }

void on_about1_activate(GtkMenuItem*, gpointer)
{
    if (myabout2 == nullptr) myabout2 = create_about2();
    gtk_widget_show(myabout2);
}

void on_about2_response(GtkDialog* dialog, gint response_id, gpointer)
{
    if (response_id >= 0) return;
    // Closed: the next About builds a new box.
    gtk_widget_destroy(GTK_WIDGET(dialog));
    if (GTK_WIDGET(dialog) == myabout2) myabout2 = nullptr;
}

// The button's slot shows the n-th monitored switch (as the Summary fills it), so that is
// the one it resets, whatever unmonitored switches lie before it.
void on_buttonSummaryStatus_clicked(int n)
{
    const LoadedProfile& profile = *myspQuorvel;
    const std::size_t count = std::min(profile.items.size(), allItemDisps.size());
    int shown = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (profile.items[i].Cat != SWITCH || allItemDisps[i].monitor != 1) continue;
        if (shown++ == n) {
            reset_Intrusion(profile, profile.items[i]);
            return;
        }
    }
}

void on_buttonSummaryStatus0_clicked(GtkButton* button, gpointer) { reset_and_grey(button, 0); }
void on_buttonSummaryStatus1_clicked(GtkButton* button, gpointer) { reset_and_grey(button, 1); }
void on_buttonSummaryStatus2_clicked(GtkButton* button, gpointer) { reset_and_grey(button, 2); }
void on_buttonSummaryStatus3_clicked(GtkButton* button, gpointer) { reset_and_grey(button, 3); }
void on_buttonSummaryStatus4_clicked(GtkButton* button, gpointer) { reset_and_grey(button, 4); }
void on_buttonSummaryStatus5_clicked(GtkButton* button, gpointer) { reset_and_grey(button, 5); }
void on_buttonSummaryStatus6_clicked(GtkButton* button, gpointer) { reset_and_grey(button, 6); }
void on_buttonSummaryStatus7_clicked(GtkButton* button, gpointer) { reset_and_grey(button, 7); }

void on_buttonShowAlertMessage_clicked(GtkButton*, gpointer)
{
    if (mywindowAlertMessage == nullptr) mywindowAlertMessage = create_windowAlertMessage();
    const GtkAllocation& main = myapp1->allocation;
    gtk_widget_set_uposition(mywindowAlertMessage, main.x + main.width + 12, main.y + main.height - 200);
    gtk_widget_show(mywindowAlertMessage);
}

}  // namespace qv
