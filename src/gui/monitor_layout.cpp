// The Summary page and the three chart pages: the same few widgets repeated per slot.
#include "gui/callbacks.h"
#include "gui/interface.h"
#include "gui/pages.h"
#include "gui/support.h"

namespace qv {

namespace {

void set_label_look(GtkWidget* label, int width, int height)
{
    gtk_widget_set_size_request(label, width, height);
    gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_LEFT);
    gtk_misc_set_alignment(GTK_MISC(label), 0, 0.5);
}

// A label whose first text is its own name.
GtkWidget* name_label(GtkWidget* app1, const char* name, int width, int height)
{
    GtkWidget* label = hookup(app1, gtk_label_new(name), name);
    set_label_look(label, width, height);
    return label;
}

GtkWidget* error_image(GtkWidget* app1, const char* name, int width)
{
    GtkWidget* image = hookup(app1, gtk_image_new_from_stock("gtk-dialog-error", GTK_ICON_SIZE_DND), name);
    gtk_widget_set_size_request(image, width, 32);
    return image;
}

void attach(GtkWidget* table, GtkWidget* child, guint left, guint right, guint top, guint bottom,
            GtkAttachOptions x, GtkAttachOptions y, guint xpad = 0, guint ypad = 0)
{
    gtk_table_attach(GTK_TABLE(table), child, left, right, top, bottom, x, y, xpad, ypad);
}

// The eight status buttons that reset their switch item.
void (*const kStatusHandlers[])(GtkButton*, gpointer) = {
    on_buttonSummaryStatus0_clicked, on_buttonSummaryStatus1_clicked, on_buttonSummaryStatus2_clicked,
    on_buttonSummaryStatus3_clicked, on_buttonSummaryStatus4_clicked, on_buttonSummaryStatus5_clicked,
    on_buttonSummaryStatus6_clicked, on_buttonSummaryStatus7_clicked,
};

void add_summary_slot(GtkWidget* app1, GtkWidget* table, const Category& c, int slot)
{
    const guint column = 2 * (slot % 4);
    const guint row = 1 + 2 * (slot / 4);
    const guint ypad = column == 0 ? 2 : 0;

    const SlotName button_name("buttonSummary", c.name, "", slot);
    GtkWidget* button = hookup(app1, gtk_button_new_with_mnemonic(button_name), button_name);
    gtk_widget_set_size_request(button, 120, 26);
    attach(table, button, column, column + 1, row, row + 1, GTK_FILL, GtkAttachOptions(0), 8, ypad);
    if (c.category == SWITCH && slot < static_cast<int>(G_N_ELEMENTS(kStatusHandlers)))
        g_signal_connect(button, "clicked", G_CALLBACK(kStatusHandlers[slot]), nullptr);

    GtkWidget* label = name_label(app1, SlotName("labelSummary", c.name, "", slot), 120, 16);
    // Long item names end in an ellipsis rather than in half a letter.
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    attach(table, label, column, column + 1, row + 1, row + 2, GTK_FILL, GtkAttachOptions(0), 8, ypad);
}

GtkWidget* summary_table(GtkWidget* app1, const Category& c)
{
    const guint rows = 1 + 2 * ((c.summary_slots + 3) / 4);
    GtkWidget* table = hookup(app1, gtk_table_new(rows, 8, FALSE), SlotName("tableSummary", c.name));
    GtkWidget* heading = hookup(app1, gtk_label_new(c.heading), SlotName("labelSummary", c.name));
    set_label_look(heading, 120, 32);
    attach(table, heading, 0, 1, 0, 1, GTK_FILL, GtkAttachOptions(0));
    GtkWidget* image = error_image(app1, SlotName("imageSummary", c.name), 32);
    attach(table, image, 7, 8, 0, 1, GtkAttachOptions(GTK_EXPAND | GTK_FILL), GTK_FILL);
    for (int slot = 0; slot < c.summary_slots; ++slot) add_summary_slot(app1, table, c, slot);
    return table;
}

void add_chart_slot(GtkWidget* app1, GtkWidget* table, const Category& c, int slot)
{
    const guint row = 4 * slot;
    const auto fill = GTK_FILL;
    attach(table, name_label(app1, SlotName("label", c.name, "", slot), 500, 32), 0, 1, row, row + 1, fill, fill, 8);
    attach(table, error_image(app1, SlotName("image", c.name, "", slot), 100), 1, 2, row, row + 1, fill, fill);

    GtkWidget* curve = hookup(app1, gtk_curve_new(), SlotName("curve", c.name, "", slot));
    gtk_widget_set_size_request(curve, 600, 100);
    gtk_widget_set_sensitive(curve, FALSE);
    gtk_curve_set_range(GTK_CURVE(curve), 0, 600, 0, 100);
    attach(table, curve, 0, 2, row + 1, row + 2, fill, fill, 8, 2);

    GtkWidget* limit = name_label(app1, SlotName("label", c.name, "Limit", slot), 500, 16);
    attach(table, limit, 0, 1, row + 2, row + 3, fill, fill, 8);
    GtkWidget* reading = name_label(app1, SlotName("label", c.name, "Reading", slot), 100, 16);
    attach(table, reading, 1, 2, row + 2, row + 3, fill, fill);

    GtkWidget* separator = hookup(app1, gtk_hseparator_new(), SlotName("hseparator", c.name, "", slot));
    attach(table, separator, 0, 2, row + 3, row + 4, fill, fill, 0, 8);
}

}  // namespace

GtkWidget* create_summary_page(GtkWidget* app1)
{
    GtkWidget* box = hookup(app1, gtk_vbox_new(FALSE, 0), "vboxSummary");
    for (const Category& c : kSummaryCategories) {
        const bool first = c.category == FAN;
        if (!first) {
            GtkWidget* separator = hookup(app1, gtk_hseparator_new(), SlotName("hseparatorSummary", kSummaryCategories[c.category - 1].name));
            gtk_box_pack_start(GTK_BOX(box), separator, TRUE, TRUE, 8);
        }
        gtk_box_pack_start(GTK_BOX(box), summary_table(app1, c), !first, !first, 0);
    }
    return box;
}

GtkWidget* create_chart_page(GtkWidget* app1, int category)
{
    const Category& c = kSummaryCategories[category];
    GtkWidget* table = hookup(app1, gtk_table_new(4 * c.summary_slots, 2, FALSE), SlotName("table", c.name));
    for (int slot = 0; slot < c.summary_slots; ++slot) add_chart_slot(app1, table, c, slot);
    return table;
}

}  // namespace qv
