// The one clock of the program: wall-clock time for Now/Date/"today" and the millisecond tick
// count that timers run on. Tests replace it with a manual clock and advance it by hand.
#pragma once

#include <cstdint>

#include "rtl/Types.h"

class TClock {
 public:
  virtual ~TClock() = default;
  // Local date and time as days since 1899-12-30.
  virtual TDateTime Now() = 0;
  // Milliseconds since an arbitrary start; never goes backwards.
  virtual uint64_t TickCount() = 0;
};

// A clock that only moves when told to: for tests.
class TManualClock : public TClock {
 public:
  explicit TManualClock(TDateTime now = 45000.5, uint64_t ticks = 1000) : now_(now), ticks_(ticks) {}
  TDateTime Now() override { return now_; }
  uint64_t TickCount() override { return ticks_; }
  void SetNow(TDateTime now) { now_ = now; }
  // Moves both the tick count and the wall clock forward.
  void Advance(uint64_t ms) {
    ticks_ += ms;
    now_ += double(ms) / 86400000.0;
  }

 private:
  TDateTime now_;
  uint64_t ticks_;
};

// The clock in use (the system clock unless replaced). SetClock(nullptr) restores the system
// clock; the caller keeps ownership of a clock it sets.
TClock& Clock();
void SetClock(TClock* clock);
