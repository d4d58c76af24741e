// The advisory lock around each poll.
#include "sensors/poll.h"

#include "platform/os.h"

#include <cerrno>
#include <cstdio>

namespace qv {

namespace {

int depth = 0;
int lock_fd = -1;

constexpr unsigned kRetryMicroseconds = 100000;

}  // namespace

PollLock::PollLock()
{
    platform::Os& os = platform::os();
    // Read-only and never through a link: a planted file cannot be harmed. A machine
    // that cannot lock (no such folder) polls unlocked, as before the lock existed.
    const int fd = depth > 0 ? -1 : os.open(kPollLockPath, O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    for (unsigned waited = 0; fd >= 0; waited += kRetryMicroseconds) {
        if (os.flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lock_fd = fd;
            break;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            os.close(fd);
            break;
        }
        if (waited >= kPollLockWaitSeconds * 1000000u) {
            os.close(fd);
            std::fprintf(stderr, "Warning: another poller has held %s for %u s; this poll is skipped.\n",
                         kPollLockPath, kPollLockWaitSeconds);
            return;
        }
        os.usleep(kRetryMicroseconds);
    }
    held_ = true;
    ++depth;
}

PollLock::~PollLock()
{
    if (!held_ || --depth > 0 || lock_fd < 0) return;
    // Closing the only descriptor of the file releases the lock.
    platform::os().close(lock_fd);
    lock_fd = -1;
}

}  // namespace qv
