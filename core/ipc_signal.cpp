#include "core/ipc_signal.h"

namespace IPC {

Signal::Set::Set() { sigemptyset(&set_); }
Signal::Set::Set(int a, int b) : Set() {
  sigaddset(&set_, a);
  sigaddset(&set_, b);
}
Signal::Set::Set(int a, int b, int c) : Set(a, b) { sigaddset(&set_, c); }

bool Signal::handle(int sig, Handler handler, const Set& blocked, int flags) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_mask = blocked.get();
  action.sa_flags = flags & ~SA_SIGINFO;
  return sigaction(sig, &action, nullptr) == 0;
}

bool Signal::handle(int sig, Handler handler, int flags) { return handle(sig, handler, Set(), flags); }
bool Signal::ignore(int sig) { return handle(sig, SIG_IGN, 0); }
bool Signal::system(int sig) { return handle(sig, SIG_DFL, 0); }

static bool set_restart(int sig, bool restart) {
  struct sigaction action {};
  if (sigaction(sig, nullptr, &action) != 0) return false;
  if (restart) action.sa_flags |= SA_RESTART;
  else action.sa_flags &= ~SA_RESTART;
  return sigaction(sig, &action, nullptr) == 0;
}

// siginterrupt off (system calls restart) and on (they fail with EINTR).
bool Signal::disable_int(int sig) { return set_restart(sig, true); }
bool Signal::enable_int(int sig) { return set_restart(sig, false); }

}  // namespace IPC
