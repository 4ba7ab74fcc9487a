// The small value helpers of the hardware layer: channel numbering, codec
// names, RTP errors and the record field helpers.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "slots/codec_names.h"
#include "slots/driver_record.h"
#include "slots/rtp_err.h"
#include "slots/tdm_channel.h"

namespace {

TEST(TdmChannel, NumberingOfTrunksLinesAndBuses) {
  struct Case {
    int got, want;
  } cases[] = {
      {Tdm::TrunkChannel(0, 0), 0},      {Tdm::TrunkChannel(1, 5), 37},
      {Tdm::TrunkChannel(3, 31), 127},   {Tdm::BriChannel(2, 1), 9},
      {Tdm::BriChannel(7, 3), 31},       {Tdm::BusChannel(0, 0), 8192},
      {Tdm::BusChannel(1, 0), 8320},     {Tdm::BusChannel(15, 127), 10239},
  };
  for (auto& c : cases) EXPECT_EQ(c.got, c.want);
  EXPECT_FALSE(Tdm::IsShared(8191));
  EXPECT_TRUE(Tdm::IsShared(8192));
  EXPECT_TRUE(Tdm::IsShared(10239));
  EXPECT_FALSE(Tdm::IsShared(10240));
}

TEST(CodecNames, EveryKindAndTheOnesOutside) {
  const char* names[] = {"unknown", "g711", "g723", "g729", "tonec", "g711-rtp", "g729-rtp", "g723-rtp", "conf"};
  for (int i = 0; i < 9; ++i) EXPECT_STREQ(GetCodecAsStr(i), names[i]) << i;
  for (int bad : {-1, 9, 255, 1 << 30}) EXPECT_STREQ(GetCodecAsStr(bad), "invalid") << bad;
}

TEST(RtpErrValue, KeepsTheErrnoOfItsConstructionAndTheCallersCode) {
  errno = EBADF;
  RtpErr e(7);
  errno = EINTR;
  EXPECT_EQ(e.code(), 7);
  EXPECT_EQ(e.error(), EBADF);
  std::ostringstream out;
  out << e;
  EXPECT_EQ(out.str(), std::strerror(EBADF));
}

TEST(DriverRecord, FieldsAreBigEndianAndSignedWordsRoundTrip) {
  Driver::Record<12> r{};
  Driver::put16<0>(r, 0xABCD);
  Driver::put8<2>(r, 0x7F);
  Driver::put32<4>(r, uint32_t(-2));
  Driver::put32<8>(r, 0x01020304);
  const Driver::Record<12> want = {0xAB, 0xCD, 0x7F, 0x00, 0xFF, 0xFF, 0xFF, 0xFE, 1, 2, 3, 4};
  EXPECT_EQ(r, want);
  EXPECT_EQ(Driver::get16<0>(r), 0xABCD);
  EXPECT_EQ(Driver::get8<2>(r), 0x7F);
  EXPECT_EQ(Driver::get32s<4>(r), -2);
  EXPECT_EQ(Driver::get32<8>(r), 0x01020304u);
  // The board's numbering of requests: direction, size, type, number.
  EXPECT_EQ(Driver::Request(Driver::Dir::read_write, 'R', 0, 68), 0xC0445200u);
  EXPECT_EQ(Driver::Request(Driver::Dir::none, 'R', 10, 0), 0x2000520Au);
}

}  // namespace
