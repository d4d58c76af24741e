// Two pollers on one board: another one switches the monitor's bank right after each
// bank select of this one, unless the lock keeps it out.
#include "sensors/poll.h"
#include "sensors/reading.h"
#include "sim/board.h"
#include "support/engine_fixture.h"

#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace qv::test {
namespace {

class OtherPoller : public sim::SimOs {
public:
    OtherPoller(sim::Machine& machine, const std::string& lock_file)
        : SimOs(machine), lock_(::open(lock_file.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644))
    {
    }
    ~OtherPoller() override
    {
        if (lock_ >= 0) ::close(lock_);
    }
    void outb(uint8_t value, uint16_t port) override
    {
        SimOs::outb(value, port);
        if (port == 0x295) index_ = value;
        if (port != 0x296 || index_ != 0x4E || (lock_ >= 0 && ::flock(lock_, LOCK_EX | LOCK_NB) != 0)) return;
        SimOs::outb(0x4E, 0x295);
        SimOs::outb((value & 0x0F) == 0 ? 6 : 0, 0x296);
        if (lock_ >= 0) ::flock(lock_, LOCK_UN);
    }
    using SimOs::outb;

private:
    int lock_;
    uint8_t index_ = 0;
};

class TwoPollers : public EngineTest {
protected:
    std::vector<int32_t> poll()
    {
        const PollLock lock;
        EXPECT_TRUE(lock);
        std::vector<int32_t> readings;
        for (ItemSection& item : profile_.items) {
            int32_t value = -1;
            get_item_reading(profile_, item, &value);
            readings.push_back(value);
        }
        return readings;
    }
};

TEST_F(TwoPollers, OnlyTheLockKeepsTheOthersBankSwitchFromTheRead)
{
    for (const bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "locked" : "no lock folder");
        load(profile_text("02",
                          "[Item]\nITEM_NAME=CPU1 Temperature\nITEM_CAT=TEMP\nBUSTYPE=02\nCHIPCODE=1C\nSLAVE=07\nOFFSET=17\n\n"
                          "[Item]\nITEM_NAME=+12V\nITEM_CAT=VOLTAGE\nVOL_FUNC=P12V\nBUSTYPE=02\nCHIPCODE=1C\nSLAVE=00\n"
                          "OFFSET=21\n"),
             sim::load_board(""));
        if (!locked) session().sandbox().remove("/run/lock");
        const std::vector<int32_t> alone = poll();
        platform::Os& machine = platform::os();
        OtherPoller other(session().machine(), session().sandbox().map(kPollLockPath));
        platform::set_os(&other);
        const std::vector<int32_t> raced = poll();
        platform::set_os(&machine);
        if (locked) EXPECT_EQ(raced, alone);
        else EXPECT_NE(raced, alone);
    }
}

}  // namespace
}  // namespace qv::test
