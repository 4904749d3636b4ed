#include "user/ShellOpen.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>

extern char** environ;

namespace {
// Starts xdg-open with the target as one argument; a failure to start is silent, and the
// child is reaped in the background so no zombie is left.
void DesktopOpen(const String& target) {
  // A text starting with '-' would be read as an option of the opener, not as a link.
  if (target[0] == '-') return;
  std::string program = "xdg-open", argument = target;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return;
  std::thread([pid] {
    int status = 0;
    waitpid(pid, &status, 0);
  }).detach();
}

TShellOpenHook& Hook() {
  static TShellOpenHook hook;
  return hook;
}
}  // namespace

void ShellOpen(const String& target) {
  if (target.empty()) return;
  if (Hook()) Hook()(target);
  else DesktopOpen(target);
}

TShellOpenHook SetShellOpenHook(TShellOpenHook hook) {
  TShellOpenHook old = std::move(Hook());
  Hook() = std::move(hook);
  return old;
}
