#pragma once
// The single poll loop of the daemon: watched descriptors, the sorted list of
// pending timers and the set of active deferred calls. Everything runs on one
// thread; signal handlers may only call terminate().

#include <atomic>
#include <cstdint>
#include <string>
#include <ostream>
#include <vector>

#include <poll.h>

#include "core/event_handler.h"
#include "core/measure.h"

class TimerEvent;
class Dpc;
class TimerPoolPlugin;

// The poll events of a mask by name, "POLLIN|POLLOUT"; empty for 0.
std::string PollEventAsText(short events);

class Multiplexer {
 public:
  constexpr Multiplexer() = default;
  Multiplexer(const Multiplexer&) = delete;
  Multiplexer& operator=(const Multiplexer&) = delete;

  void attach(EventHandler* handler);
  void detach(EventHandler* handler);

  void set(TimerEvent* timer);
  void reset(TimerEvent* timer);

  void attach(Dpc* dpc);
  void dettach(Dpc* dpc);

  void hook(TimerPoolPlugin* plugin);
  void unhook(TimerPoolPlugin* plugin);

  // Runs passes until terminate(); watchdog drives "/dev/misc/gw-wd";
  // realclock false caches the time once per pass.
  void run(bool watchdog, bool realclock);
  void terminate() { terminate_.store(true, std::memory_order_relaxed); }
  // Clears a terminate request, as run() does when it starts.
  void resume() { terminate_.store(false, std::memory_order_relaxed); }
  bool terminating() const { return terminate_.load(std::memory_order_relaxed); }

  // One pass of the loop, as run() repeats it (tests drive it directly).
  void pass(bool realclock = true);

  void resetWD();
  void dump(std::ostream& out) const;

  // Introspection for tests and the status dump.
  unsigned timer_count() const { return timer_count_; }
  unsigned handler_count() const { return pending_.size() + serviced_.size() + active_.size(); }
  size_t dpc_count() const { return dpcs_.size(); }
  int last_poll_timeout() const { return last_timeout_; }
  bool watchdog_open() const { return watchdog_fd_ >= 0; }
  // The milliseconds until the next timer, -1 for none; fires what is due.
  int timers_schedule();
  void execute_dpc();

 private:
  friend class TimerEvent;
  void ping_after_poll();

  // Timers, sorted by deadline.
  TimerEvent* timer_head_ = nullptr;
  TimerEvent* timer_tail_ = nullptr;
  unsigned timer_count_ = 0;

  HandlerList pending_;
  HandlerList serviced_;
  HandlerList active_;
  std::vector<pollfd> pollfds_;
  std::vector<EventHandler*> polled_;  // handler of each pollfd entry, null once detached

  std::vector<Dpc*> dpcs_;     // ordered by address, no duplicates
  std::vector<Dpc*> running_;  // the round being executed; null once deactivated

  std::atomic<bool> terminate_{false};
  Measure dpc_measure_;
  Measure event_measure_;
  Measure timer_measure_;

  std::vector<TimerPoolPlugin*> plugins_;
  std::vector<TimerPoolPlugin*>* plugin_walk_ = nullptr;

  int watchdog_fd_ = -1;
  bool pinged_ = false;
  uint32_t last_ping_ = 0;
  int last_timeout_ = 0;
};

// The one loop of the process, alive until the very end of the program.
extern constinit Multiplexer multiplexer;
