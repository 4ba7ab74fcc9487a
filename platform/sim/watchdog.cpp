#include "platform/sim/watchdog.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/paths.h"

#include "platform/sim/board.h"
#include "platform/sim/models.h"

namespace platform::sim {

int WatchdogModel::open(OpenFile&) { return absent ? ENODEV : 0; }

ssize_t WatchdogModel::write(OpenFile&, const uint8_t* data, size_t len) {
  if (refuse_writes) {
    errno = EIO;
    return -1;
  }
  std::string text(reinterpret_cast<const char*>(data), len);
  if (text != "START" && text != "PING" && text != "STOP") {
    errno = EINVAL;
    return -1;
  }
  uint64_t now = board_uptime_ms();
  std::ofstream(resolve(kJournalFile), std::ios::app) << text << '@' << now << '\n';
  journal_.push_back({now, std::move(text)});
  if (journal_.size() > kJournalLimit) journal_.pop_front();
  return ssize_t(len);
}

static bool on_off(std::string_view word, bool& out) {
  if (word == "on") return out = true, true;
  if (word == "off") return out = false, true;
  return false;
}

std::string WatchdogModel::command(const Args& args) {
  if (args.size() == 1 && args[0] == "journal") {
    std::ostringstream out;
    out << "count=" << journal_.size();
    for (auto& e : journal_) out << ' ' << e.text << '@' << e.at_ms;
    return ok(out.str());
  }
  if (args.size() == 1 && args[0] == "clear") {
    clear();
    return ok();
  }
  if (args.size() == 2 && args[0] == "absent" && on_off(args[1], absent)) return ok();
  if (args.size() == 2 && args[0] == "refuse" && on_off(args[1], refuse_writes)) return ok();
  return error("usage: watchdog journal|clear|absent on|off|refuse on|off");
}

std::vector<std::string> WatchdogModel::help() const {
  return {"journal (count=N then TEXT@MS, MS = board uptime)", "clear",
          "absent on|off (open fails with ENODEV)", "refuse on|off (writes fail with EIO)"};
}

std::unique_ptr<DeviceModel> make_watchdog() { return std::make_unique<WatchdogModel>(); }

}  // namespace platform::sim
