#pragma once
// Argument records of the kernel RTP engine ("/dev/rtp") and its header-
// extension engine ("/dev/rtp_ext"). Fields are held as plain numbers; pack()
// lays them out big-endian at the driver's offsets and unpack() reads back
// what the driver returned. Bytes not named here are always zero.

#include <cstdint>
#include <ostream>

#include "slots/driver_record.h"

// Session-begin record.
struct rtp_connection_params {
  static constexpr size_t kSize = 68;
  using Bytes = Driver::Record<kSize>;

  // IPv4 addresses as numbers (a.b.c.d is a << 24 | b << 16 | c << 8 | d),
  // which puts them on the wire in network order.
  uint32_t remote_addr = 0;     // +0
  uint16_t remote_port = 0;     // +4
  uint32_t local_addr = 0;      // +8, 0 = any
  uint16_t local_port = 0;      // +12
  uint16_t rx_pt = 0;           // +14
  uint16_t tx_pt = 0;           // +16
  uint16_t packet_factor = 0;   // +18, 0 = driver default
  uint8_t vad = 0;              // +20, 1 = silence suppression
  uint8_t crate = 0;            // +21, 1 = the crate option is set
  uint32_t ssrc = 0;            // +24
  int32_t ttl = 0;              // +36, 0 = default
  int32_t tos = -1;             // +40, -1 = default
  uint16_t rx_static_pt = 0;    // +44, the codec's own type when rx_pt is dynamic
  uint32_t rx_clock_rate = 0;   // +48
  uint32_t rx_dynamic = 0;      // +52, 1 when rx_pt is dynamic
  uint16_t tx_static_pt = 0;    // +56
  uint32_t tx_clock_rate = 0;   // +60
  uint32_t tx_dynamic = 0;      // +64

  Bytes pack() const;
  static rtp_connection_params unpack(const Bytes& bytes);
  bool operator==(const rtp_connection_params&) const = default;
};

// Channel-add record; the gateway passes -1 in the first three words and
// the driver returns the channel's TDM switch channel and DSP position.
struct rtp_channel_info {
  static constexpr size_t kSize = 16;
  using Bytes = Driver::Record<kSize>;

  int32_t tdm = -1;
  int32_t dev_no = -1;
  int32_t chn = -1;
  uint32_t bss_enable = 0;  // radio channels only; 0 for plain RTP

  Bytes pack() const;
  static rtp_channel_info unpack(const Bytes& bytes);
  bool operator==(const rtp_channel_info&) const = default;
};

// Names another process's header-extension session on an RTP session.
struct rtp_attach_session_params {
  static constexpr size_t kSize = 8;
  using Bytes = Driver::Record<kSize>;

  int32_t fd_rtp = -1;
  int32_t pid_rtp = -1;

  Bytes pack() const;
  static rtp_attach_session_params unpack(const Bytes& bytes);
  bool operator==(const rtp_attach_session_params&) const = default;
};

// Names the RTP session a header-extension session works on.
struct rtp_ext_attach_session_params {
  static constexpr size_t kSize = 8;
  using Bytes = Driver::Record<kSize>;

  int32_t fd_rtp = -1;
  int32_t pid_rtp = -1;

  Bytes pack() const;
  static rtp_ext_attach_session_params unpack(const Bytes& bytes);
  bool operator==(const rtp_ext_attach_session_params&) const = default;
};

// Header-extension session set-up: profile and keep-alive.
struct rtp_ext_init_params {
  static constexpr size_t kSize = 20;
  using Bytes = Driver::Record<kSize>;

  uint16_t etype = 0;            // +0
  uint32_t ka_enable = 0;        // +4
  uint32_t ka_payload_type = 0;  // +8
  uint32_t ka_packets = 0;       // +12
  uint32_t ka_sigtime = 0;       // +16

  Bytes pack() const;
  static rtp_ext_init_params unpack(const Bytes& bytes);
  bool operator==(const rtp_ext_init_params&) const = default;
};

std::ostream& operator<<(std::ostream& out, const rtp_connection_params& p);
std::ostream& operator<<(std::ostream& out, const rtp_channel_info& p);
std::ostream& operator<<(std::ostream& out, const rtp_attach_session_params& p);
std::ostream& operator<<(std::ostream& out, const rtp_ext_attach_session_params& p);
std::ostream& operator<<(std::ostream& out, const rtp_ext_init_params& p);
