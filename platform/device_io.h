#pragma once
// The one door to the board's devices: every open, ioctl, read, write and
// close of a /dev file goes through devices(). With KELVAD_BOARD=sim the
// simulated board answers; otherwise the real kernel does. Either way the
// descriptors are real ones, pollable by the event loop.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace platform {

// Request numbers are the 32-bit values passed to ioctl on the board
// (direction bits 31..29, size 28..16, type 15..8, number 7..0).
inline constexpr uint32_t ioctl_size(uint32_t request) { return (request >> 16) & 0x1fff; }

class DeviceIo {
 public:
  virtual ~DeviceIo() = default;
  // Opens a device path such as "/dev/hal"; close-on-exec is always added.
  // Returns the descriptor, or -1 with errno set.
  virtual int open(const std::string& path, int flags) = 0;
  // arg is a pointer to the request's record, or a plain number for requests
  // that take their argument by value. Negative means failure, errno set.
  virtual int ioctl(int fd, uint32_t request, uintptr_t arg) = 0;
  virtual ssize_t read(int fd, void* buf, size_t len) = 0;
  virtual ssize_t write(int fd, const void* buf, size_t len) = 0;
  virtual int close(int fd) = 0;

  int ioctl(int fd, uint32_t request, void* record) {
    return ioctl(fd, request, reinterpret_cast<uintptr_t>(record));
  }
};

// True when KELVAD_BOARD=sim.
bool simulated_board();

// The back-end chosen from KELVAD_BOARD at first use.
DeviceIo& devices();

// The real kernel's back-end (what devices() is on the board).
DeviceIo& kernel_devices();

// Selects the simulated board for the rest of the process (in-process tests).
void use_simulated_board();

}  // namespace platform
