// The four window constructors. Each returns a fully built, hidden window with every
// widget registered on it under its name (see lookup_widget).
#pragma once

#include <gtk/gtk.h>

namespace qv {

GtkWidget* create_app1();
GtkWidget* create_windowAlertMessage();
GtkWidget* create_about2();
GtkWidget* create_dialogInfo();

// The page builders of create_app1, one per notebook page's contents.
GtkWidget* create_summary_page(GtkWidget* app1);
GtkWidget* create_chart_page(GtkWidget* app1, int category);
GtkWidget* create_items_page(GtkWidget* app1);
GtkWidget* create_alert_page(GtkWidget* app1);

}  // namespace qv
