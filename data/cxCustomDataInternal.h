// Small implementation helpers of the data controller, also used by the layers above it
// (the grid's scope guards); not part of the controller's interface.
#pragma once

#include <exception>

namespace cxdata_internal {

// Runs `f` when the scope ends. When an exception is already passing, an exception from `f`
// is dropped so that the first one reaches the caller.
template <class F>
struct Finally {
  F f;
  int pending = std::uncaught_exceptions();
  ~Finally() noexcept(false) {
    if (std::uncaught_exceptions() > pending) {
      try {
        f();
      } catch (...) {
      }
    } else {
      f();
    }
  }
};
template <class F>
Finally(F) -> Finally<F>;

}  // namespace cxdata_internal
