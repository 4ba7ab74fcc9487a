#pragma once
// The TDM switch on "/dev/hal". It keeps a shadow of what it last did to
// each shared bus channel and, from a deferred call, keeps re-disabling the
// disabled ones in small slices, so that the hardware follows the shadow
// even if another agent wrote to it.
//
// The device is opened on first need and again before every operation until
// an open succeeds; it then stays open until the object goes.

#include <array>
#include <cstdint>
#include <ostream>

#include "core/dpc.h"
#include "slots/tdm_channel.h"

class HwMux {
 public:
  // Shadow values besides a source channel number.
  static constexpr int16_t kShadowDisabled = -1;
  static constexpr int16_t kShadowConstant = -2;  // disconnected or written
  // Shared channels refreshed per pass of the loop: all 2048 in 16 passes.
  static constexpr int kRefreshPerPass = 128;

  // The daemon's switch, created on first use.
  static HwMux* instance();

  // The daemon uses instance(); tests build their own.
  HwMux();
  ~HwMux();
  HwMux(const HwMux&) = delete;
  HwMux& operator=(const HwMux&) = delete;

  // Opens the device if it is not yet open; true when it is.
  bool IsOpened();

  bool Connect(int source, int destination);
  // The destination carries the idle byte 0xD5 afterwards.
  bool Disconnect(int destination);
  // The destination carries nothing afterwards.
  bool Disable(int destination);
  bool Write(int destination, unsigned char value);
  // The byte now on the channel; 255 on failure.
  unsigned char Read(int channel);

  void RefreshChannel(int i);
  void OnDPC();
  void Reset() {}

  void PutHeader(std::ostream& out) const;

  // Inspection: shared channel 8192 + i.
  int16_t shadow(int i) const { return shadow_[size_t(i)]; }
  uint32_t refresh_cursor() const { return cursor_; }
  bool refreshing() const { return refresh_.active(); }

 private:
  bool Usable(int channel) { return IsOpened() && channel >= 0; }
  void SetShadow(int channel, int16_t value);

  int descriptor_ = -1;
  std::array<int16_t, Tdm::kSharedCount> shadow_{};
  uint32_t cursor_ = 0;
  Dpc refresh_;
};
