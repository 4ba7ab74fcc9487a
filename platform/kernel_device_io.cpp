#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/device_io.h"
#include "platform/paths.h"

namespace platform {
namespace {

class KernelDeviceIo final : public DeviceIo {
 public:
  using DeviceIo::ioctl;
  int open(const std::string& path, int flags) override {
    return ::open(resolve(path).c_str(), flags | O_CLOEXEC);
  }
  int ioctl(int fd, uint32_t request, uintptr_t arg) override {
    return ::ioctl(fd, static_cast<unsigned long>(request), arg);
  }
  ssize_t read(int fd, void* buf, size_t len) override { return ::read(fd, buf, len); }
  ssize_t write(int fd, const void* buf, size_t len) override { return ::write(fd, buf, len); }
  int close(int fd) override { return ::close(fd); }
};

}  // namespace

DeviceIo& kernel_devices() {
  static KernelDeviceIo io;
  return io;
}

}  // namespace platform
