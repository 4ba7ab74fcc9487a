#pragma once
// sigaction wrappers. SA_SIGINFO is always cleared: handlers use the number only.

#include <csignal>

namespace IPC {

class Signal {
 public:
  typedef void (*Handler)(int);

  // A signal set of two or three signal numbers.
  class Set {
   public:
    Set();
    Set(int a, int b);
    Set(int a, int b, int c);
    const sigset_t& get() const { return set_; }

   private:
    sigset_t set_;
  };

  static bool handle(int sig, Handler handler, int flags);
  static bool handle(int sig, Handler handler, const Set& blocked, int flags);
  static bool ignore(int sig);
  static bool system(int sig);
  static bool disable_int(int sig);
  static bool enable_int(int sig);
};

}  // namespace IPC
