// The Alert page: the machine's name, the recipients, e-mail on or off, a test mail.
#include "gui/alerts.h"
#include "gui/callbacks.h"
#include "gui/interface.h"
#include "gui/save.h"
#include "gui/support.h"
#include "platform/os.h"
#include "profile/loader.h"

namespace qv {

namespace {

constexpr const char* kNameMissing = "'Name for this system' must be filled!";
constexpr const char* kRecipientsMissing = "'Recipients' must be filled!";
// Recipients go onto a shell command line: nothing but addresses may.
constexpr const char* kRecipientsInvalid = "'Recipients' must be mail addresses separated by blanks!";

SystemSection& settings() { return *myspQuorvel->system; }

// Why mail cannot go out with these settings, or null.
const char* mail_refusal()
{
    if (settings().MachineName[0] == '\0') return kNameMissing;
    if (settings().MailBox[0] == '\0') return kRecipientsMissing;
    if (!valid_recipients(settings().MailBox)) return kRecipientsInvalid;
    return nullptr;
}

}  // namespace

void show_message(const char* text)
{
    GtkWidget* dialog = create_dialogInfo();
    gtk_label_set_text(GTK_LABEL(lookup_widget(dialog, "labelInfo")), text);
    gtk_widget_show(dialog);
}

void on_entryMachineName_changed(GtkEditable* editable, gpointer)
{
    set_text(settings().MachineName, gtk_entry_get_text(GTK_ENTRY(editable)));
}

void on_entryRecipientMailbox_changed(GtkEditable* editable, gpointer)
{
    set_text(settings().MailBox, gtk_entry_get_text(GTK_ENTRY(editable)));
}

void on_checkbuttonEmailAlert_toggled(GtkToggleButton* button, gpointer)
{
    if (!gtk_toggle_button_get_active(button)) {
        settings().MailAlert = 0;
        return;
    }
    if (const char* refusal = mail_refusal()) {
        gtk_toggle_button_set_active(button, FALSE);
        show_message(refusal);
        gtk_widget_grab_focus(GTK_WIDGET(button));
        return;
    }
    settings().MailAlert = 1;
}

void on_buttonMailTest_clicked(GtkButton*, gpointer)
{
    if (const char* refusal = mail_refusal()) return show_message(refusal);
    const MailOutcome outcome = mail_test(settings(), platform::os().time(nullptr));
    if (outcome == MailOutcome::Sent) show_message("Send an alert through E-mail successfully.");
    else report_mail_outcome(outcome);
}

void on_buttonAlertSave_clicked(GtkButton*, gpointer)
{
    if (settings().MailBox[0] != '\0' && !valid_recipients(settings().MailBox))
        return show_message(kRecipientsInvalid);
    save_INI_File(2);
    show_message("Configuration has been saved.");
}

}  // namespace qv
