#pragma once
// One driver of the simulated board. A model serves one device path; each
// open of that path is an OpenFile (an open file description: it survives
// dup() and lives until the daemon's last copy of the descriptor is closed).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace platform::sim {

// What a model keeps per open file; models derive their own.
struct FileState {
  virtual ~FileState() = default;
};

struct OpenFile {
  std::string path;
  int flags = 0;          // the open() flags the daemon passed
  int board_fd = -1;      // the board's end of the descriptor pair
  uint64_t serial = 0;    // 1, 2, ... in order of opening
  std::unique_ptr<FileState> state;

  // Queues one record for the daemon to read; the daemon's descriptor then
  // polls readable. Returns false when the descriptor's queue is full.
  bool deliver(const void* data, size_t len) const;
};

using Args = std::vector<std::string_view>;

class DeviceModel {
 public:
  virtual ~DeviceModel() = default;

  // The device path this model serves, e.g. "/dev/misc/gw-wd".
  virtual std::string_view path() const = 0;
  // The word that addresses the model on the board's control socket.
  virtual std::string_view name() const = 0;

  // 0 to accept the open, or an errno value to refuse it.
  virtual int open(OpenFile&) { return 0; }
  // The daemon's last copy of the descriptor was closed.
  virtual void release(OpenFile&) {}
  // Same contract as ioctl(2): negative with errno set on failure.
  virtual int ioctl(OpenFile&, uint32_t request, uintptr_t arg);
  virtual ssize_t write(OpenFile&, const uint8_t* data, size_t len);
  // By default the daemon reads the records the model delivered.
  virtual ssize_t read(OpenFile&, int daemon_fd, uint8_t* buf, size_t len);

  // One control-socket command addressed to this model (the model's name is
  // not among args). Returns the reply line without its newline.
  virtual std::string command(const Args& args) = 0;
  // One line of help per command.
  virtual std::vector<std::string> help() const = 0;
};

// Replies of the control socket: "ok ..." or "error ...".
std::string ok(std::string_view text = {});
std::string error(std::string_view text);

}  // namespace platform::sim
