// What both transports share: a device descriptor that is closed unless the probe
// keeps it, the report of a BMC that does not answer, and the retry of interrupted calls.
#pragma once

#include "platform/os.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace qv::ipmi_link {

// Calls that the kernel may interrupt or refuse for the moment are tried this often.
inline constexpr int kTransientRetries = 4;

inline bool transient(int error) { return error == EINTR || error == EAGAIN; }

// An opened device file on probation: closed at the end of the scope unless kept.
class ProbeDescriptor {
public:
    explicit ProbeDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~ProbeDescriptor()
    {
        if (descriptor_ >= 0) platform::os().close(descriptor_);
    }
    ProbeDescriptor(const ProbeDescriptor&) = delete;
    ProbeDescriptor& operator=(const ProbeDescriptor&) = delete;

    int get() const { return descriptor_; }
    bool valid() const { return descriptor_ >= 0; }
    int keep()
    {
        const int kept = descriptor_;
        descriptor_ = -1;
        return kept;
    }

private:
    int descriptor_;
};

// Detection waits out every exchange and says so each time, whatever came before it.
class DetectionScope {
public:
    DetectionScope();
    ~DetectionScope();
    DetectionScope(const DetectionScope&) = delete;
    DetectionScope& operator=(const DetectionScope&) = delete;
};

// True once an exchange of this poll went unanswered: the rest of the poll is not sent,
// so a silent BMC costs one time-out per poll instead of one per exchange.
bool silent_this_poll();

// The BMC answered: a later silence is announced again.
void note_answer();

// One exchange the BMC left unanswered. In detection one line for each; in a poll it
// makes the poll silent, with one line when the BMC had been answering.
void report_no_answer(unsigned milliseconds);

// One line on standard error for an answer too short for what the command takes.
void report_short_answer(uint8_t netfn, uint8_t cmd, std::size_t received, std::size_t needed);

// "Error: ioctl(), errno=%d" and the errno, for a driver call that failed for good.
int report_ioctl_failure(int error);

}  // namespace qv::ipmi_link
