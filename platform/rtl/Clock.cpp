#include "rtl/Clock.h"

#include <chrono>
#include <ctime>

namespace {
class TSystemClock : public TClock {
 public:
  TDateTime Now() override {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    // Seconds east of UTC turn the UTC count into local time.
    double secs = double(duration_cast<milliseconds>(now.time_since_epoch()).count()) / 1000.0 +
                  double(local.tm_gmtoff);
    return 25569.0 + secs / 86400.0;  // 25569: 1970-01-01 as a date value
  }
  uint64_t TickCount() override {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
};
TSystemClock system_clock_instance;
TClock* current = &system_clock_instance;
}  // namespace

TClock& Clock() { return *current; }
void SetClock(TClock* clock) { current = clock ? clock : &system_clock_instance; }
