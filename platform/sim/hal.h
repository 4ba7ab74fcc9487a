#pragma once
// "/dev/hal", the board's hardware access driver. So far it models the TDM
// switch: per destination channel, what the channel carries (nothing, a
// source channel, or a constant byte). Clock selection, SPI, DIP switches,
// power and LEDs join here as further requests.
//
// The switch counts every request it receives by kind (failed ones too) and
// can fail a chosen kind of request on demand, so that every failure path of
// the daemon can be driven. Counts and the table are board-wide; they are
// not reset when the daemon closes the device.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/sim/device_model.h"

namespace platform::sim {

class HalModel final : public DeviceModel {
 public:
  // Requests of the TDM switch, as the daemon passes them.
  static constexpr uint32_t kMuxConnect = 0x80084D02;  // {dst, src}
  static constexpr uint32_t kMuxDisable = 0x80044D03;  // {dst}
  static constexpr uint32_t kMuxWrite = 0xC0084D04;    // {dst, byte}
  static constexpr uint32_t kMuxRead = 0xC0084D05;     // {channel, byte out}

  // Channel ranges of the switch: E1 timeslots (BRI lines share 0..31),
  // DSP resource channels handed out by the resource drivers, shared bus
  // channels. Any other channel fails with EINVAL.
  static constexpr int kTrunkFirst = 0, kTrunkCount = 128;
  static constexpr int kResourceFirst = 1024, kResourceCount = 3072;
  static constexpr int kSharedFirst = 8192, kSharedCount = 2048;
  static bool valid_channel(int channel);

  // What MUX_READ answers for a channel that carries nothing (disabled,
  // never set, or part of a loop of connections): a floating bus reads ones.
  static constexpr uint8_t kNothingByte = 0xFF;

  enum class Kind { open, connect, disable, write, read, other, count_ };
  static constexpr size_t kKinds = size_t(Kind::count_);
  static const char* kind_name(Kind kind);
  static std::optional<Kind> kind_named(std::string_view name);

  struct Route {
    enum class What { nothing, source, constant } what = What::nothing;
    int value = 0;  // the source channel or the constant byte
    bool operator==(const Route&) const = default;
  };

  std::string_view path() const override { return "/dev/hal"; }
  std::string_view name() const override { return "hal"; }
  int open(OpenFile&) override;
  int ioctl(OpenFile&, uint32_t request, uintptr_t arg) override;
  std::string command(const Args& args) override;
  std::vector<std::string> help() const override;

  // Inspection.
  Route route(int destination) const;
  // The byte on a channel, following connections to their source.
  uint8_t carried(int channel) const;
  uint64_t count(Kind kind) const { return counts_[size_t(kind)]; }
  // MUX_DISABLE requests received for one destination (since reset_counts).
  uint64_t disables_of(int destination) const;
  const std::map<int, Route>& table() const { return table_; }

  // The next `times` requests of that kind fail (EIO; ENODEV for an open).
  void fail(Kind kind, unsigned times) { failures_[size_t(kind)] = times; }
  void reset_counts();
  // Counts, failures and the table: a board as it came up.
  void reset();

 private:
  int mux_request(uint32_t request, uint8_t* arg);
  bool consume_failure(Kind kind);

  std::map<int, Route> table_;  // destinations that carry something
  std::map<int, uint64_t> disables_;
  std::array<uint64_t, kKinds> counts_{};
  std::array<unsigned, kKinds> failures_{};
  uint64_t failed_ = 0;
};

}  // namespace platform::sim
