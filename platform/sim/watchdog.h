#pragma once
// The hardware watchdog "/dev/misc/gw-wd": the daemon writes "START" once,
// "PING" about once a second and "STOP" at the end. The model keeps a journal
// of what it received, stamped with the board's uptime in milliseconds, and
// appends each entry to the file "/var/log/board-watchdog" under the root so
// that what the daemon sent is still there after it exited.

#include <cstdint>
#include <deque>
#include <string>

#include "platform/sim/device_model.h"

namespace platform::sim {

class WatchdogModel final : public DeviceModel {
 public:
  struct Entry {
    uint64_t at_ms;
    std::string text;
  };
  static constexpr size_t kJournalLimit = 4096;  // oldest entries are dropped
  static constexpr const char* kJournalFile = "/var/log/board-watchdog";

  std::string_view path() const override { return "/dev/misc/gw-wd"; }
  std::string_view name() const override { return "watchdog"; }
  int open(OpenFile&) override;
  ssize_t write(OpenFile&, const uint8_t* data, size_t len) override;
  std::string command(const Args& args) override;
  std::vector<std::string> help() const override;

  const std::deque<Entry>& journal() const { return journal_; }
  void clear() { journal_.clear(); }
  bool absent = false;        // open fails with ENODEV
  bool refuse_writes = false; // every write fails with EIO

 private:
  std::deque<Entry> journal_;
};

}  // namespace platform::sim
