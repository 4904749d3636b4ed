// Runs a function when the scope ends, also by an exception: the restore half of a
// save/change/restore sequence (flags, locks, update brackets).
#pragma once

#include <utility>

template <class F>
class TScopeExit {
 public:
  explicit TScopeExit(F f) : f_(std::move(f)) {}
  ~TScopeExit() { f_(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  F f_;
};
