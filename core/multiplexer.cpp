#include "core/multiplexer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sstream>

#include "core/dpc.h"
#include "core/ext.h"
#include "core/event.h"
#include "core/mux_clock.h"
#include "core/profile.h"
#include "core/timer.h"
#include "core/timer_pool_plugin.h"
#include "platform/device_io.h"

constinit Multiplexer multiplexer;

namespace {
constexpr uint32_t kMaxWait = 7200000;  // two hours: anything longer is a broken clock or list
constexpr int kWatchdogPeriod = 1000;

struct PollBit {
  short bit;
  const char* name;
};
constexpr PollBit kPollBits[] = {
    {1, "POLLIN"},       {2, "POLLPRI"},     {4, "POLLOUT"},     {8, "POLLERR"},
    {16, "POLLHUP"},     {32, "POLLNVAL"},   {64, "POLLRDNORM"}, {128, "POLLRDBAND"},
    {256, "POLLWRNORM"}, {512, "POLLWRBAND"}, {1024, "POLLMSG"},
};
}  // namespace

std::string PollEventAsText(short events) {
  std::string text;
  for (const PollBit& b : kPollBits) {
    if (events & b.bit) {
      text += '|';
      text += b.name;
    }
  }
  if (!text.empty()) text.erase(0, 1);
  return text;
}

// ---- handlers -------------------------------------------------------------

void Multiplexer::attach(EventHandler* handler) {
  if (handler->list_ != nullptr) {
    std::cerr << "duplicate multiplexer attach \"" << handler->event_name() << "\" ignored." << std::endl;
    return;
  }
  pending_.push_back(handler);
}

void Multiplexer::detach(EventHandler* handler) {
  HandlerList* list = handler->list_;
  if (list != &pending_ && list != &serviced_ && list != &active_) {
    std::cerr << "indvalid Multiplexer::detach " << handler->event_name() << std::endl;
    return;
  }
  list->remove(handler);
  if (handler->poll_index_ >= 0 && size_t(handler->poll_index_) < polled_.size())
    polled_[size_t(handler->poll_index_)] = nullptr;
  handler->poll_index_ = -1;
}

// ---- timers ---------------------------------------------------------------

void Multiplexer::set(TimerEvent* timer) {
  if (timer->listed_) reset(timer);
  TimerEvent* after = timer_tail_;
  while (after && int32_t(after->deadline - timer->deadline) > 0) after = after->prev;
  timer->prev = after;
  timer->next = after ? after->next : timer_head_;
  if (timer->next) timer->next->prev = timer;
  else timer_tail_ = timer;
  if (after) after->next = timer;
  else timer_head_ = timer;
  timer->listed_ = true;
  ++timer_count_;
}

void Multiplexer::reset(TimerEvent* timer) {
  if (!timer->listed_) return;
  if (timer->prev) timer->prev->next = timer->next;
  else timer_head_ = timer->next;
  if (timer->next) timer->next->prev = timer->prev;
  else timer_tail_ = timer->prev;
  timer->next = timer->prev = nullptr;
  timer->listed_ = false;
  --timer_count_;
}

int Multiplexer::timers_schedule() {
  uint32_t now = Mux::milliseconds();
  while (timer_head_ && int32_t(now - timer_head_->deadline) >= 0) {
    TimerEvent* due = timer_head_;
    reset(due);
    timer_measure_.begin();
    due->fire();
    timer_measure_.end();
  }
  execute_dpc();
  if (!timer_head_) return -1;
  uint32_t wait = timer_head_->deadline - now;
  if (wait > kMaxWait) {
    std::cerr << "******** RUNTIME ERROR CONDITION *************"
              << "Multiplexer::timers_schedule() invalid wait time detected!" << std::endl
              << "now = " << now << std::endl
              << "first = " << timer_head_->deadline << std::endl
              << "count = " << timer_count_ << std::endl;
    for (TimerEvent* t = timer_head_; t; t = t->next) t->deadline = now + 1000;
    return 1000;
  }
  // A timer set by a deferred call may already be due: poll must not wait.
  return int(wait);
}

// ---- deferred calls -------------------------------------------------------

void Multiplexer::attach(Dpc* dpc) {
  auto it = std::lower_bound(dpcs_.begin(), dpcs_.end(), dpc);
  if (it == dpcs_.end() || *it != dpc) dpcs_.insert(it, dpc);
}

void Multiplexer::dettach(Dpc* dpc) {
  auto it = std::lower_bound(dpcs_.begin(), dpcs_.end(), dpc);
  if (it != dpcs_.end() && *it == dpc) dpcs_.erase(it);
  std::replace(running_.begin(), running_.end(), dpc, static_cast<Dpc*>(nullptr));
}

void Multiplexer::execute_dpc() {
  if (dpcs_.empty()) return;
  running_.assign(dpcs_.begin(), dpcs_.end());
  for (size_t i = 0; i < running_.size(); ++i) {
    Dpc* dpc = running_[i];
    if (!dpc || !dpc->handler()) continue;
    dpc_measure_.begin();
    dpc->handler()->Invoke();
    dpc_measure_.end();
  }
  running_.clear();
}

// ---- plugins --------------------------------------------------------------

TimerPoolPlugin::~TimerPoolPlugin() { timerUnhook(); }

void TimerPoolPlugin::timerHook() {
  if (hooked_) return;
  hooked_ = true;
  multiplexer.hook(this);
}

void TimerPoolPlugin::timerUnhook() {
  if (!hooked_) return;
  hooked_ = false;
  multiplexer.unhook(this);
}

void Multiplexer::hook(TimerPoolPlugin* plugin) {
  if (std::find(plugins_.begin(), plugins_.end(), plugin) == plugins_.end()) plugins_.push_back(plugin);
}

void Multiplexer::unhook(TimerPoolPlugin* plugin) {
  plugins_.erase(std::remove(plugins_.begin(), plugins_.end(), plugin), plugins_.end());
  if (plugin_walk_)
    std::replace(plugin_walk_->begin(), plugin_walk_->end(), plugin, static_cast<TimerPoolPlugin*>(nullptr));
}

// ---- the loop -------------------------------------------------------------

void Multiplexer::resetWD() {
  if (watchdog_fd_ < 0) return;
  if (platform::devices().write(watchdog_fd_, "PING", 4) != 4)
    std::cerr << "Mux: ping watchdog failed: " << std::strerror(errno) << std::endl;
}

void Multiplexer::ping_after_poll() {
  uint32_t now = Mux::milliseconds();
  if (!pinged_ || int32_t(now - last_ping_) < 0 || now - last_ping_ > 999) {
    resetWD();
    pinged_ = true;
    last_ping_ = now;
  }
}

void Multiplexer::pass(bool realclock) {
  int timeout = timers_schedule();

  if (!plugins_.empty()) {
    std::vector<TimerPoolPlugin*> walk(plugins_);
    plugin_walk_ = &walk;
    int best = -1;
    for (TimerPoolPlugin* p : walk) {
      if (!p) continue;
      int w = p->timer_wait();
      if (w >= 0 && (best < 0 || w < best)) best = w;
    }
    plugin_walk_ = nullptr;
    if (best > 0 && (timeout < 0 || best < timeout)) timeout = best;
  }

  active_.splice_back(pending_);

  size_t n = active_.size();
  pollfds_.resize(n);
  polled_.resize(n);
  size_t i = 0;
  for (EventHandler* h = active_.head(); h; h = h->next, ++i) {
    pollfds_[i] = pollfd{-1, 0, 0};
    h->shedule_event(pollfds_[i]);
    polled_[i] = h;
    h->poll_index_ = int(i);
  }

  if (timeout < 0 && n == 0) {
    std::cerr << "multiplexer: system hang detected!!!" << std::endl;
    std::abort();
  }
  if (watchdog_fd_ >= 0 && unsigned(timeout) > unsigned(kWatchdogPeriod)) timeout = kWatchdogPeriod;

  execute_dpc();
  last_timeout_ = timeout;
  int rc = ::poll(pollfds_.data(), nfds_t(n), timeout);
  int poll_errno = errno;
  if (!realclock) Mux::mux_settimeofday();
  ping_after_poll();

  if (rc <= 0) {
    for (EventHandler* p : polled_)
      if (p) p->poll_index_ = -1;
    if (rc == 0 || poll_errno == EINTR) return;
    std::cerr << "multiplexer poll failed: " << std::strerror(poll_errno) << std::endl;
    std::abort();
  }

  for (size_t k = 0; k < n; ++k) {
    if (EventHandler* h = polled_[k]) {
      h->revents = pollfds_[k].revents;
      h->poll_index_ = -1;
    }
  }

  while (!terminating()) {
    EventHandler* h = active_.pop_front();
    if (!h) break;
    serviced_.push_back(h);
    event_measure_.begin();
    h->svc_event();
    event_measure_.end();
  }
  // Handlers not serviced because of terminate stay behind the serviced ones.
  serviced_.splice_back(active_);
  active_.splice_back(serviced_);
}

void Multiplexer::run(bool watchdog, bool realclock) {
  terminate_ = false;
  pinged_ = false;
  if (watchdog) {
    watchdog_fd_ = platform::devices().open("/dev/misc/gw-wd", O_WRONLY);
    if (watchdog_fd_ < 0) {
      std::cerr << "Mux: fail to open watchdog: " << std::strerror(errno) << std::endl;
    } else if (platform::devices().write(watchdog_fd_, "START", 5) != 5) {
      std::cerr << "Mux: fail to activate watchdog: " << std::strerror(errno) << std::endl;
      platform::devices().close(watchdog_fd_);
      watchdog_fd_ = -1;
    }
  }
  if (!realclock) Mux::mux_settimeofday();

  while (!terminating()) pass(realclock);

  std::clog << "Mux: terminating..." << std::endl;
  if (watchdog_fd_ >= 0) {
    if (platform::devices().write(watchdog_fd_, "STOP", 4) != 4)
      std::cerr << "Mux: stop watchdog failed: " << std::strerror(errno) << std::endl;
    platform::devices().close(watchdog_fd_);
    watchdog_fd_ = -1;
  }
}

void Multiplexer::dump(std::ostream& out) const {
  out << "dpc transition measurement (min/max/cur/counter): " << dpc_measure_ << '\n';
  out << "event transition measurement (min/max/cur/counter): " << event_measure_ << '\n';
  out << "timer transition measurement (min/max/cur/counter): " << timer_measure_ << '\n';
  Profile::dump(out);
  ext::Table table(out, {40, 30, 10, 10, 5, 60});
  table.delimeter();
  for (const char* title : {"name", "events", "count", "handler", "fd", "measure"}) table.cell(title);
  table.delimeter();
  for (EventHandler* h = active_.head(); h; h = h->next) {
    if (!h->is_named()) continue;
    const Event* e = dynamic_cast<const Event*>(h);
    if (!e) continue;
    std::ostringstream measure;
    measure << e->measure();
    table.cell(e->name());
    table.cell(PollEventAsText(e->events()));
    table.cell(std::to_string(e->hits()));
    table.cell(e->bound() ? "attached" : "unattached");
    table.cell(std::to_string(e->fd().get()));
    table.cell(measure.str());
  }
  table.delimeter();
  out << '\n';
}
