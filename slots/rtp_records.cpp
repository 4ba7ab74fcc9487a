#include "slots/rtp_records.h"

using Driver::get16;
using Driver::get32;
using Driver::get32s;
using Driver::get8;
using Driver::put16;
using Driver::put32;
using Driver::put8;

rtp_connection_params::Bytes rtp_connection_params::pack() const {
  Bytes b{};
  put32<0>(b, remote_addr);
  put16<4>(b, remote_port);
  put32<8>(b, local_addr);
  put16<12>(b, local_port);
  put16<14>(b, rx_pt);
  put16<16>(b, tx_pt);
  put16<18>(b, packet_factor);
  put8<20>(b, vad);
  put8<21>(b, crate);
  put32<24>(b, ssrc);
  put32<36>(b, uint32_t(ttl));
  put32<40>(b, uint32_t(tos));
  put16<44>(b, rx_static_pt);
  put32<48>(b, rx_clock_rate);
  put32<52>(b, rx_dynamic);
  put16<56>(b, tx_static_pt);
  put32<60>(b, tx_clock_rate);
  put32<64>(b, tx_dynamic);
  return b;
}

rtp_connection_params rtp_connection_params::unpack(const Bytes& b) {
  rtp_connection_params p;
  p.remote_addr = get32<0>(b);
  p.remote_port = get16<4>(b);
  p.local_addr = get32<8>(b);
  p.local_port = get16<12>(b);
  p.rx_pt = get16<14>(b);
  p.tx_pt = get16<16>(b);
  p.packet_factor = get16<18>(b);
  p.vad = get8<20>(b);
  p.crate = get8<21>(b);
  p.ssrc = get32<24>(b);
  p.ttl = get32s<36>(b);
  p.tos = get32s<40>(b);
  p.rx_static_pt = get16<44>(b);
  p.rx_clock_rate = get32<48>(b);
  p.rx_dynamic = get32<52>(b);
  p.tx_static_pt = get16<56>(b);
  p.tx_clock_rate = get32<60>(b);
  p.tx_dynamic = get32<64>(b);
  return p;
}

rtp_channel_info::Bytes rtp_channel_info::pack() const {
  Bytes b{};
  put32<0>(b, uint32_t(tdm));
  put32<4>(b, uint32_t(dev_no));
  put32<8>(b, uint32_t(chn));
  put32<12>(b, bss_enable);
  return b;
}

rtp_channel_info rtp_channel_info::unpack(const Bytes& b) {
  return {get32s<0>(b), get32s<4>(b), get32s<8>(b), get32<12>(b)};
}

namespace {

template <class Attach>
typename Attach::Bytes PackAttach(const Attach& a) {
  typename Attach::Bytes b{};
  put32<0>(b, uint32_t(a.fd_rtp));
  put32<4>(b, uint32_t(a.pid_rtp));
  return b;
}

template <class Attach>
Attach UnpackAttach(const typename Attach::Bytes& b) {
  Attach a;
  a.fd_rtp = get32s<0>(b);
  a.pid_rtp = get32s<4>(b);
  return a;
}

// Field lines of the multi-line text forms: two blanks, then the label.
constexpr const char kIndent[] = "  ";

template <class Attach>
std::ostream& PrintAttach(std::ostream& out, const char* name, const Attach& a) {
  return out << name << "{" << '\n'
             << kIndent << " fd_rtp = " << a.fd_rtp << '\n'
             << kIndent << " pid_rtp = " << a.pid_rtp << '\n'
             << "}";
}

}  // namespace

rtp_attach_session_params::Bytes rtp_attach_session_params::pack() const { return PackAttach(*this); }
rtp_attach_session_params rtp_attach_session_params::unpack(const Bytes& b) {
  return UnpackAttach<rtp_attach_session_params>(b);
}

rtp_ext_attach_session_params::Bytes rtp_ext_attach_session_params::pack() const {
  return PackAttach(*this);
}
rtp_ext_attach_session_params rtp_ext_attach_session_params::unpack(const Bytes& b) {
  return UnpackAttach<rtp_ext_attach_session_params>(b);
}

rtp_ext_init_params::Bytes rtp_ext_init_params::pack() const {
  Bytes b{};
  put16<0>(b, etype);
  put32<4>(b, ka_enable);
  put32<8>(b, ka_payload_type);
  put32<12>(b, ka_packets);
  put32<16>(b, ka_sigtime);
  return b;
}

rtp_ext_init_params rtp_ext_init_params::unpack(const Bytes& b) {
  rtp_ext_init_params p;
  p.etype = get16<0>(b);
  p.ka_enable = get32<4>(b);
  p.ka_payload_type = get32<8>(b);
  p.ka_packets = get32<12>(b);
  p.ka_sigtime = get32<16>(b);
  return p;
}

std::ostream& operator<<(std::ostream& out, const rtp_connection_params& p) {
  out << "rtp_connection_params" << "{" << '\n';
  out << kIndent << " packet_factor = " << p.packet_factor << '\n';
  if (p.rx_dynamic) {
    out << kIndent << " rx_pt = " << p.rx_static_pt << '\n';
    out << kIndent << " rx_clock_rate = " << p.rx_clock_rate << '\n';
  } else {
    out << kIndent << " rx_pt = " << p.rx_pt << '\n';
  }
  if (p.tx_dynamic) {
    out << kIndent << " tx_pt = " << p.tx_static_pt << '\n';
    out << kIndent << " tx_clock_rate = " << p.tx_clock_rate << '\n';
  } else {
    out << kIndent << " tx_pt = " << p.tx_pt << '\n';
  }
  out << kIndent << " ssrc = " << p.ssrc << '\n';
  return out << "}";
}

std::ostream& operator<<(std::ostream& out, const rtp_channel_info& p) {
  return out << "rtp_channel_info" << " {" << " tdm=" << p.tdm << " dev_no=" << p.dev_no
             << " chn=" << p.chn << " }";
}

std::ostream& operator<<(std::ostream& out, const rtp_attach_session_params& p) {
  return PrintAttach(out, "rtp_attach_session_params", p);
}

std::ostream& operator<<(std::ostream& out, const rtp_ext_attach_session_params& p) {
  return PrintAttach(out, "rtp_ext_attach_session_params", p);
}

std::ostream& operator<<(std::ostream& out, const rtp_ext_init_params& p) {
  return out << "rtp_ext_init_params" << "{" << '\n'
             << kIndent << " etype = " << p.etype << '\n'
             << "}";
}
