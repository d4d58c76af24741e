// The start of a poll of the items, and the lock every poller of one machine shares.
#pragma once

#include "ipmi/ipmi.h"

namespace qv {

// Every report, reset and window tick is one poll: what went silent in the last one is tried again.
inline void begin_item_poll() { ipmi_begin_poll(); }

// Bank selects and configuration modes are shared state in the chips: the window, the
// text report, a reset and quorvel-export running at once must not interleave them.
inline constexpr const char* kPollLockPath = "/run/lock/quorvel.lock";
inline constexpr unsigned kPollLockWaitSeconds = 5;
// A one-shot run that could not take the lock (sysexits' "try again later").
inline constexpr int kPollBusyStatus = 75;

// Held for one whole poll, reset or start; nested holders share the outer one. A poller
// that waited the bound in vain has said so on standard error and skips its poll.
class PollLock {
public:
    PollLock();
    ~PollLock();
    PollLock(const PollLock&) = delete;
    PollLock& operator=(const PollLock&) = delete;
    explicit operator bool() const { return held_; }

private:
    bool held_ = false;
};

}  // namespace qv
