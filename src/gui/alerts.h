// Alerts and the messages the window shows the user.
#pragma once

#include "gui/mail.h"

namespace qv {

// The alert list's head, made the current node, with the Alert Messages window showing
// "No message!"; the next check starts from all items normal.
void start_alert_list();
// The mail's outcome on standard output, as every mailing reports it.
void report_mail_outcome(MailOutcome outcome);
// A new message dialog showing text.
void show_message(const char* text);

}  // namespace qv
