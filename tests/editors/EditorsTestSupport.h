// Shared fixture of the editors' tests: the test locale restored after each test, and the
// format controller refreshed from it.
#pragma once

#include <gtest/gtest.h>

#include "editors/cxFormats.h"
#include "rtl/Clock.h"
#include "rtl/SysUtils.h"

namespace editors_test {

class TLocaleFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    GlobalFormatController()->Refresh();
  }
  void TearDown() override {
    FormatSettings = saved_;
    GlobalFormatController()->Refresh();
  }
  // Applies changed settings the way a locale change does.
  void Apply() { GlobalFormatController()->Refresh(); }

 private:
  TFormatSettings saved_;
};

// The program clock fixed at a date for the test's lifetime.
class TFixedClock {
 public:
  explicit TFixedClock(TDateTime now) : clock_(now) { SetClock(&clock_); }
  ~TFixedClock() { SetClock(nullptr); }
  TManualClock& Clock() { return clock_; }

 private:
  TManualClock clock_;
};

}  // namespace editors_test
