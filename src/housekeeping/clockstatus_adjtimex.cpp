// The kernel's word on its clock: whichever time service runs (systemd-timesyncd, chrony, ntpd),
// it tells the kernel through adjtimex, which then reports the clock synchronised.
#include "housekeeping/clockstatus_adjtimex.h"

#include <sys/timex.h>
#include <time.h>

namespace {

qint64 ms(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

class AdjtimexClockStatus : public ClockStatus {
public:
    ClockReading read() const override {
        timex tx{};  // modes 0: only reads
        const int state = ::adjtimex(&tx);
        // The boot clock rather than the monotonic one: a PC that slept has not stepped its clock.
        return {state != -1 && state != TIME_ERROR && !(tx.status & STA_UNSYNC), ms(CLOCK_REALTIME),
                ms(CLOCK_BOOTTIME)};
    }
};

}  // namespace

std::unique_ptr<ClockStatus> makeAdjtimexClockStatus() { return std::make_unique<AdjtimexClockStatus>(); }
