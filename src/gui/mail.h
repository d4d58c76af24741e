// Alerts by mail: a generated shell script hands the alert to the system's mail command.
#pragma once

#include "profile/records.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace qv {

enum class MailOutcome { Sent, NoScript, ForkFailed, WaitFailed };

inline constexpr const char* kMailScriptPath = "/tmp/QuorvelMailAlert";
// The script never holds more than kMailBufferSize - 1 characters; a longer body is cut
// (docs/decisions.md, "Alert mail").
inline constexpr std::size_t kMailBufferSize = 512;
inline constexpr std::string_view kMailCutNote = "(more items changed; see the Alert Messages window)\n";

// Writes the alert script for system's MAILBOX and MACHINENAME with body, runs it and
// waits. NoScript when MAILBOX is not valid_recipients or the script cannot be created.
MailOutcome mail_alert(const SystemSection& system, std::string_view body);  // "Alert: system health warning!"
MailOutcome mail_test(const SystemSection& system, time_t now);              // "Alert: E-mail Test!"

// True when text is one or more plain mail addresses separated by blanks (what the
// Recipients entry may hold, at most 99 characters).
bool valid_recipients(std::string_view text);

// What the window prints for an outcome with g_print; empty when it prints nothing.
std::string_view mail_outcome_message(MailOutcome outcome);

// Lines of an alert body: "NAME OK(Good)!\n" or "NAME Failed(Bad)!\n", and the stamp
// "at " with the ctime text of now.
std::string mail_item_line(std::string_view name, bool good);
std::string mail_time_line(time_t now);

}  // namespace qv
