// The alert check of each tick and the Alert Messages window.
#include "gui/alert_list.h"
#include "gui/alerts.h"
#include "gui/callbacks.h"
#include "gui/globals.h"
#include "gui/mail.h"
#include "gui/pages.h"
#include "gui/support.h"
#include "platform/os.h"
#include "sensors/reading.h"

#include <array>
#include <cstdio>
#include <string>

namespace qv {

namespace {

// Normal (or unmonitored) at the previous check, per position among all items of a
// category, monitored or not.
std::array<std::array<char, 60>, 4> previous_states;
constexpr int kPositions[] = {16, 60, 16, 16};
bool first_check = true;

const char* const kOutOfRange[] = {
    " build_Alert(): idxFan out of range. \n",
    " build_Alert(): idxVoltage out of range. \n",
    " build_Alert(): idxThermal out of range. \n",
    " build_Alert(): idxStatus out of range. \n",
};

constexpr const char* kMessageLead = "This system has the health information:\n\n";
// The message (lead and lines) fits a 512-byte buffer, and so must the lines with the
// time stamp ("at " and ctime's 25 characters).
constexpr std::size_t kLinesRoom = kMailBufferSize - 1 - std::char_traits<char>::length(kMessageLead) - 3 - 25;

void show_current(GtkWidget* any)
{
    char count[32];
    std::snprintf(count, sizeof count, "%d/%d", get_alert_msg_node_index(current_alert_msg_node),
                  get_alert_msg_node_count(alert_msg_head));
    const char* text = current_alert_msg_node == alert_msg_head ? "No message!" : current_alert_msg_node->text;
    gtk_label_set_text(GTK_LABEL(lookup_widget(any, "labelAlertMsg")), text);
    gtk_label_set_text(GTK_LABEL(lookup_widget(any, "labelIndexCount")), count);
}

void refresh_alert_page(GtkWidget* app1, const SystemSection& system)
{
    gtk_entry_set_text(GTK_ENTRY(lookup_widget(app1, "entryMachineName")), system.MachineName);
    gtk_entry_set_text(GTK_ENTRY(lookup_widget(app1, "entryRecipientMailbox")), system.MailBox);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(lookup_widget(app1, "checkbuttonMailAlert")), system.MailAlert != 0);
}

// Lines of the items whose state changed. An item whose line does not fit keeps its
// old state, so it is reported by the next check instead of never. False when a
// category has more items than positions: then nothing is raised.
bool collect_changes(std::span<ItemDisplay> displays, std::string& lines)
{
    int positions[4] = {};
    for (const ItemDisplay& d : displays) {
        if (d.category < FAN || d.category > SWITCH) continue;
        int& position = positions[d.category];
        if (position == kPositions[d.category]) {
            g_print("%s", kOutOfRange[d.category]);
            return false;
        }
        char& previous = previous_states[d.category][position++];
        if (d.monitor != 1) {
            previous = 1;
            continue;
        }
        const char state = isNormalReading(d) != 0 ? 1 : 0;
        if (state == previous) continue;
        const std::string line = mail_item_line(d.name, state == 1);
        if (lines.size() + line.size() > kLinesRoom) continue;
        lines += line;
        previous = state;
    }
    return true;
}

void raise_alert(const std::string& lines)
{
    const std::string text = kMessageLead + lines;
    AlertMsgNode* node = new_alert_msg_node();
    node->text = copy_alert_text(text.c_str());
    append_alert_msg_node(alert_msg_head, node);
    current_alert_msg_node = node;
    if (mywindowAlertMessage == nullptr) return;
    show_current(mywindowAlertMessage);
    gtk_widget_show(mywindowAlertMessage);
}

void mail_lines(const SystemSection& system, const std::string& lines)
{
    if (!valid_recipients(system.MailBox)) {
        g_print("Warn: The alert is not mailed: 'Recipients' are not mail addresses.\n");
        return;
    }
    report_mail_outcome(mail_alert(system, lines));
}

}  // namespace

void start_alert_list()
{
    if (alert_msg_head == nullptr) alert_msg_head = new_alert_msg_node();
    while (alert_msg_head->next != nullptr) del_alert_msg_node(alert_msg_head->next);
    current_alert_msg_node = alert_msg_head;
    first_check = true;
    if (mywindowAlertMessage != nullptr) show_current(mywindowAlertMessage);
}

void report_mail_outcome(MailOutcome outcome)
{
    const std::string_view message =
        outcome == MailOutcome::Sent ? "Send an alert through E-mail successfully.\n" : mail_outcome_message(outcome);
    if (!message.empty()) g_print("%.*s", static_cast<int>(message.size()), message.data());
}

void build_Alert(GtkWidget* app1, const SystemSection& system, std::span<ItemDisplay> displays)
{
    refresh_alert_page(app1, system);
    if (first_check) {
        for (auto& states : previous_states) states.fill(1);
        first_check = false;
    }
    std::string lines;
    if (!collect_changes(displays, lines) || lines.empty()) return;
    lines += mail_time_line(platform::os().time(nullptr));
    raise_alert(lines);
    if (system.MailAlert != 0) mail_lines(system, lines);
}

void on_buttonDown_clicked(GtkButton* button, gpointer)
{
    AlertMsgNode* next = get_next_alert_msg_node(current_alert_msg_node);
    if (next == nullptr) return;
    current_alert_msg_node = next;
    show_current(GTK_WIDGET(button));
}

void on_buttonUp_clicked(GtkButton* button, gpointer)
{
    AlertMsgNode* prev = get_prev_alert_msg_node(current_alert_msg_node);
    if (prev == nullptr || prev == alert_msg_head) return;
    current_alert_msg_node = prev;
    show_current(GTK_WIDGET(button));
}

void on_buttonAcknowledge_clicked(GtkButton* button, gpointer)
{
    AlertMsgNode* shown = current_alert_msg_node;
    if (shown == nullptr || shown == alert_msg_head) return;
    AlertMsgNode* next = shown->next != nullptr ? shown->next : shown->prev;
    if (next == nullptr) return;
    current_alert_msg_node = next;
    del_alert_msg_node(shown);
    show_current(GTK_WIDGET(button));
}

void on_buttonDismiss_clicked(GtkButton* button, gpointer)
{
    gtk_widget_hide(gtk_widget_get_toplevel(GTK_WIDGET(button)));
}

}  // namespace qv
