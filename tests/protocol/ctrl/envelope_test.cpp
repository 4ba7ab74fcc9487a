// Locating the slot in raw envelopes, including ones too short or odd to hold it.

#include <gtest/gtest.h>

#include "protocol/ctrl/envelope.h"

namespace {

struct Case {
  const char* name;
  std::vector<uint8_t> bytes;
  long offset;
  bool out_of_range;
};

TEST(Envelope, FindsTheSlotOnlyWhereItCanBe) {
  const Case cases[] = {
      {"empty", {}, -1, false},
      {"no slot", {0x80, 0x01, 0x09, 0x06, 0x00}, -1, false},
      {"slot, no seq", {0x40, 0x00, 0x05, 0x06, 0x00}, 1, false},
      {"slot 1024, no seq", {0x40, 0x04, 0x00, 0x06, 0x00}, 1, true},
      {"seq and slot", {0xC0, 0x01, 0x05, 0x00, 0x03, 0x40}, 3, false},
      {"seq of two octets, slot 65535", {0xC0, 0x02, 0x01, 0x00, 0xFF, 0xFF, 0x40}, 4, true},
      {"slot cut short", {0x40, 0x04}, -1, false},
      {"seq length runs past the end", {0xC0, 0x7F, 0x00}, -1, false},
      {"long seq length form", {0xC0, 0x81, 0x00, 0x00, 0x04, 0x00}, -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CtrlSrv::SlotOffset(c.bytes.data(), c.bytes.size()), c.offset);
    const auto cleared = CtrlSrv::WithOutOfRangeSlotCleared(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(!cleared.empty(), c.out_of_range);
    if (c.out_of_range) {
      auto expected = c.bytes;
      expected[size_t(c.offset)] = expected[size_t(c.offset) + 1] = 0;
      EXPECT_EQ(cleared, expected);
    }
  }
}

}  // namespace
