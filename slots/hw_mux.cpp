#include "slots/hw_mux.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

#include "core/ext.h"
#include "platform/device_io.h"
#include "slots/device_names.h"
#include "slots/driver_record.h"
#include "slots/mux_requests.h"

namespace {

// The loop runs its deferred calls twice per pass (after the timers and
// again before poll()), so each call takes half of a pass's slice.
constexpr int kRefreshPerCall = HwMux::kRefreshPerPass / 2;

// Issues one request; on failure keeps the driver's errno text for the log
// line, before any stream output can disturb errno.
bool Issue(int fd, uint32_t request, uint8_t* arg, const char*& error) {
  if (platform::devices().ioctl(fd, request, arg) >= 0) return true;
  error = std::strerror(errno);
  return false;
}

}  // namespace

HwMux* HwMux::instance() {
  static HwMux mux;
  return &mux;
}

HwMux::HwMux() {
  shadow_.fill(kShadowDisabled);
  refresh_.Bind(this, &HwMux::OnDPC);
  std::clog << ext::header(this) << "init" << std::endl;
  IsOpened();
}

HwMux::~HwMux() {
  refresh_.Deactivate();
  if (descriptor_ >= 0) platform::devices().close(descriptor_);
}

void HwMux::PutHeader(std::ostream& out) const { out << "hwMux: "; }

bool HwMux::IsOpened() {
  // Descriptor 0 is a valid descriptor when standard input was closed;
  // taking it for "not open" would reopen the device and disable every
  // shared channel again on each operation.
  if (descriptor_ >= 0) return true;
  int fd = platform::devices().open(kHalDevName, O_RDWR);
  if (fd < 0) {
    const char* error = std::strerror(errno);
    std::clog << ext::header(this) << "can't open device: " << error << std::endl;
    return false;
  }
  descriptor_ = fd;
  std::clog << ext::header(this) << "device opened" << std::endl;
  for (int i = 0; i < Tdm::kSharedCount; ++i) {
    Driver::Record<4> arg{};
    Driver::put32<0>(arg, uint32_t(Tdm::kSharedFirst + i));
    platform::devices().ioctl(descriptor_, Hal::MUX_DISABLE, arg.data());
    shadow_[size_t(i)] = kShadowDisabled;
  }
  cursor_ = 0;
  refresh_.Activate();
  ::usleep(500);  // lets the switch settle after the burst of disables
  return true;
}

// Channels above the shared range (driver-given resource channels) are not
// shadowed; indexing the table with them would write past its end.
void HwMux::SetShadow(int channel, int16_t value) {
  if (Tdm::IsShared(channel)) shadow_[size_t(channel - Tdm::kSharedFirst)] = value;
}

bool HwMux::Connect(int source, int destination) {
  if (!IsOpened() || source < 0 || destination < 0) {
    std::clog << ext::header(this) << "ERROR not opened" << std::endl;
    return false;
  }
  // A driver-given source beyond 16 bits is kept as the largest entry: cut
  // to 16 bits it could read as -1 and the refresh would disable the link.
  SetShadow(destination, int16_t(std::min(source, int(INT16_MAX))));
  Driver::Record<8> arg{};
  Driver::put32<0>(arg, uint32_t(destination));
  Driver::put32<4>(arg, uint32_t(source));
  const char* error = nullptr;
  if (!Issue(descriptor_, Hal::MUX_CONNECT, arg.data(), error)) {
    std::clog << ext::header(this) << "connect " << source << " -> " << destination
              << " failed: " << error << std::endl;
    return false;
  }
  return true;
}

bool HwMux::Disconnect(int destination) {
  if (!Usable(destination)) return false;
  SetShadow(destination, kShadowConstant);
  Driver::Record<8> arg{};
  Driver::put32<0>(arg, uint32_t(destination));
  Driver::put32<4>(arg, Hal::kIdleByte);
  const char* error = nullptr;
  if (!Issue(descriptor_, Hal::MUX_WRITE, arg.data(), error)) {
    std::clog << ext::header(this) << "disconnect failed " << destination << " : " << error
              << std::endl;
    return false;
  }
  return true;
}

bool HwMux::Disable(int destination) {
  if (!Usable(destination)) return false;
  SetShadow(destination, kShadowDisabled);
  Driver::Record<4> arg{};
  Driver::put32<0>(arg, uint32_t(destination));
  const char* error = nullptr;
  if (!Issue(descriptor_, Hal::MUX_DISABLE, arg.data(), error)) {
    std::clog << ext::header(this) << "disable failed " << destination << " : " << error
              << std::endl;
    return false;
  }
  return true;
}

bool HwMux::Write(int destination, unsigned char value) {
  if (!Usable(destination)) return false;
  SetShadow(destination, kShadowConstant);
  Driver::Record<8> arg{};
  Driver::put32<0>(arg, uint32_t(destination));
  Driver::put32<4>(arg, value);
  const char* error = nullptr;
  if (!Issue(descriptor_, Hal::MUX_WRITE, arg.data(), error)) {
    std::clog << ext::header(this) << "write failed " << destination << " <- "
              << ext::OutUnsignedInHex(value, 2) << " : " << error << std::endl;
    return false;
  }
  return true;
}

unsigned char HwMux::Read(int channel) {
  if (!Usable(channel)) return 255;
  Driver::Record<8> arg{};
  Driver::put32<0>(arg, uint32_t(channel));
  Driver::put32<4>(arg, 255);
  const char* error = nullptr;
  bool done = Issue(descriptor_, Hal::MUX_READ, arg.data(), error);
  unsigned char value = uint8_t(Driver::get32<4>(arg));
  if (!done) {
    std::clog << ext::header(this) << "read failed " << channel << " -> "
              << ext::OutUnsignedInHex(value, 2) << " : " << error << std::endl;
    return 255;
  }
  return value;
}

void HwMux::RefreshChannel(int i) {
  if (i < 0 || i >= Tdm::kSharedCount || shadow_[size_t(i)] != kShadowDisabled) return;
  Driver::Record<4> arg{};
  Driver::put32<0>(arg, uint32_t(Tdm::kSharedFirst + i));
  platform::devices().ioctl(descriptor_, Hal::MUX_DISABLE, arg.data());
}

void HwMux::OnDPC() {
  if (descriptor_ < 0) return;
  for (int n = 0; n < kRefreshPerCall; ++n) {
    cursor_ = (cursor_ + 1) % Tdm::kSharedCount;
    RefreshChannel(int(cursor_));
  }
}
