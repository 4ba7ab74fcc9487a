// The RTP engine records byte for byte as the driver reads them, what the
// driver returns read back, and their trace texts.

#include <gtest/gtest.h>

#include <sstream>

#include "slots/rtp_records.h"

namespace {

template <class T>
std::string Text(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

rtp_connection_params DynamicParams() {
  rtp_connection_params p;
  p.remote_addr = 0xC0A80102;  // 192.168.1.2
  p.remote_port = 0x1F40;
  p.local_addr = 0x0A000001;
  p.local_port = 0x1F42;
  p.rx_pt = 101;
  p.tx_pt = 101;
  p.packet_factor = 2;
  p.vad = 1;
  p.crate = 1;
  p.ssrc = 0x12345678;
  p.ttl = 64;
  p.tos = 0xB8;
  p.rx_static_pt = 8;
  p.rx_clock_rate = 16000;
  p.rx_dynamic = 1;
  p.tx_static_pt = 0;
  p.tx_clock_rate = 8000;
  p.tx_dynamic = 1;
  return p;
}

TEST(RtpRecords, ConnectionParamsAreSixtyEightBigEndianBytesAtTheDriversOffsets) {
  const uint8_t expected[68] = {
      0xC0, 0xA8, 0x01, 0x02,  // +0 remote address, network order
      0x1F, 0x40, 0x00, 0x00,  // +4 remote port, zero
      0x0A, 0x00, 0x00, 0x01,  // +8 local address
      0x1F, 0x42, 0x00, 0x65,  // +12 local port, +14 rx_pt 101
      0x00, 0x65, 0x00, 0x02,  // +16 tx_pt, +18 packet_factor
      0x01, 0x01, 0x00, 0x00,  // +20 vad, +21 crate, zero
      0x12, 0x34, 0x56, 0x78,  // +24 ssrc
      0x00, 0x00, 0x00, 0x00,  // +28 zero (64 bits)
      0x00, 0x00, 0x00, 0x00,  //
      0x00, 0x00, 0x00, 0x40,  // +36 ttl
      0x00, 0x00, 0x00, 0xB8,  // +40 tos
      0x00, 0x08, 0x00, 0x00,  // +44 static receive type, zero
      0x00, 0x00, 0x3E, 0x80,  // +48 rx_clock_rate 16000
      0x00, 0x00, 0x00, 0x01,  // +52 receive dynamic flag
      0x00, 0x00, 0x00, 0x00,  // +56 static transmit type, zero
      0x00, 0x00, 0x1F, 0x40,  // +60 tx_clock_rate 8000
      0x00, 0x00, 0x00, 0x01,  // +64 transmit dynamic flag
  };
  auto bytes = DynamicParams().pack();
  static_assert(sizeof bytes == 68);
  for (size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(bytes[i], expected[i]) << "offset " << i;
  EXPECT_EQ(rtp_connection_params::unpack(bytes), DynamicParams());
}

TEST(RtpRecords, DefaultConnectionParamsAskForTheDefaultTypeOfService) {
  auto bytes = rtp_connection_params{}.pack();
  for (size_t i = 0; i < bytes.size(); ++i) {
    uint8_t want = (i >= 40 && i < 44) ? 0xFF : 0x00;
    EXPECT_EQ(bytes[i], want) << "offset " << i;
  }
}

TEST(RtpRecords, ChannelInfoGoesOutAsMinusOnesAndComesBackFromTheDriver) {
  rtp_channel_info radio;
  radio.bss_enable = 1;
  const uint8_t sent[16] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01};
  auto bytes = radio.pack();
  static_assert(sizeof bytes == 16);
  for (size_t i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], sent[i]) << "offset " << i;

  rtp_channel_info::Bytes answer = {0x00, 0x00, 0x04, 0x06, 0x00, 0x00, 0x00, 0x02,
                                    0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(rtp_channel_info::unpack(answer), (rtp_channel_info{1030, 2, 31, 0}));
}

TEST(RtpRecords, AttachAndExtensionRecords) {
  rtp_attach_session_params attach{7, 0x01020304};
  rtp_ext_attach_session_params ext_attach{9, -1};
  const rtp_attach_session_params::Bytes attach_bytes = {0, 0, 0, 7, 1, 2, 3, 4};
  const rtp_ext_attach_session_params::Bytes ext_attach_bytes = {0, 0, 0, 9, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(attach.pack(), attach_bytes);
  EXPECT_EQ(ext_attach.pack(), ext_attach_bytes);
  EXPECT_EQ(rtp_attach_session_params::unpack(attach_bytes), attach);
  EXPECT_EQ(rtp_ext_attach_session_params::unpack(ext_attach_bytes), ext_attach);

  rtp_ext_init_params init{0x0167, 1, 123, 10, 1};
  const rtp_ext_init_params::Bytes init_bytes = {0x01, 0x67, 0, 0, 0, 0, 0, 1, 0, 0,
                                                 0,    123,  0, 0, 0, 10, 0, 0, 0, 1};
  EXPECT_EQ(init.pack(), init_bytes);
  EXPECT_EQ(rtp_ext_init_params::unpack(init_bytes), init);
}

TEST(RtpRecords, TraceTexts) {
  rtp_connection_params plain;
  plain.rx_pt = 8;
  plain.tx_pt = 18;
  plain.packet_factor = 3;
  plain.ssrc = 4000000000u;
  EXPECT_EQ(Text(plain),
            "rtp_connection_params{\n"
            "   packet_factor = 3\n"
            "   rx_pt = 8\n"
            "   tx_pt = 18\n"
            "   ssrc = 4000000000\n"
            "}");
  EXPECT_EQ(Text(DynamicParams()),
            "rtp_connection_params{\n"
            "   packet_factor = 2\n"
            "   rx_pt = 8\n"
            "   rx_clock_rate = 16000\n"
            "   tx_pt = 0\n"
            "   tx_clock_rate = 8000\n"
            "   ssrc = 305419896\n"
            "}");
  EXPECT_EQ(Text(rtp_channel_info{1030, 2, -1, 1}), "rtp_channel_info { tdm=1030 dev_no=2 chn=-1 }");
  EXPECT_EQ(Text(rtp_attach_session_params{7, 1234}),
            "rtp_attach_session_params{\n   fd_rtp = 7\n   pid_rtp = 1234\n}");
  EXPECT_EQ(Text(rtp_ext_attach_session_params{9, -1}),
            "rtp_ext_attach_session_params{\n   fd_rtp = 9\n   pid_rtp = -1\n}");
  EXPECT_EQ(Text(rtp_ext_init_params{0x1337, 0, 0, 0, 0}), "rtp_ext_init_params{\n   etype = 4919\n}");
}

}  // namespace
