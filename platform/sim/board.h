#pragma once
// The simulated board: an in-process model of every driver the daemon uses,
// behind the same DeviceIo interface as the real kernel. Descriptors it hands
// out are real (one end of a socket pair), so poll(), dup(), close-on-exec and
// non-blocking mode behave as on the board.
//
// People and tests talk to it through text commands, one line each, answered
// by one line ("ok ..." or "error ..."): see command().

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "platform/device_io.h"
#include "platform/sim/device_model.h"

namespace platform::sim {

class SimBoard final : public DeviceIo {
 public:
  // Board commands run when the board comes up, one per line ('#' starts a
  // comment), so a board can be set up before the daemon touches it.
  static constexpr const char* kStartupFile = "/etc/kelvad-board.conf";

  using DeviceIo::ioctl;
  static SimBoard& instance();

  // Adds a driver; the board owns it. Models register at construction.
  void add(std::unique_ptr<DeviceModel> model);
  // The model called name, or null.
  DeviceModel* model(std::string_view name) const;
  template <class T>
  T* model_as(std::string_view name) const {
    return dynamic_cast<T*>(model(name));
  }

  int open(const std::string& path, int flags) override;
  int ioctl(int fd, uint32_t request, uintptr_t arg) override;
  ssize_t read(int fd, void* buf, size_t len) override;
  ssize_t write(int fd, const void* buf, size_t len) override;
  int close(int fd) override;

  // Executes one command line; returns the reply without newline.
  std::string command(std::string_view line);

  // Open files of a model still held by the daemon, oldest first.
  std::vector<const OpenFile*> open_files(const DeviceModel& model);

 private:
  SimBoard();
  struct Key {
    dev_t dev;
    ino_t ino;
    bool operator<(const Key& o) const { return dev != o.dev ? dev < o.dev : ino < o.ino; }
  };
  struct Entry {
    DeviceModel* model;
    OpenFile file;
  };
  Entry* find(int fd);
  void reap();  // releases files whose every daemon descriptor is closed

  std::vector<std::unique_ptr<DeviceModel>> models_;
  std::map<Key, std::unique_ptr<Entry>> files_;
  uint64_t next_serial_ = 1;
};

// Milliseconds since the board came up, on a steady clock (journal stamps).
uint64_t board_uptime_ms();

}  // namespace platform::sim
