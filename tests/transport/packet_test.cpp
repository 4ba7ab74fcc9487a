// Packets: copy on write, head and tail room, the pool's limit and the
// assertion reports that end the process on misuse.

#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <vector>

#include "transport/packet.h"

namespace {

Packet bytes(std::initializer_list<uint8_t> values, size_t headroom = 0) {
  Packet p;
  p.reserve_head(headroom);
  for (uint8_t v : values) p.put8(v);
  return p;
}

TEST(Packet, WritingThroughACopyLeavesTheOriginalAndTakesASecondBuffer) {
  size_t before = packet_pool.available();
  Packet first = bytes({1, 2, 3}, 8);
  Packet second = first;
  EXPECT_TRUE(second.shares_with(first));
  EXPECT_EQ(packet_pool.available(), before - 1);

  second.push8(0xEE);
  second.put8(4);
  EXPECT_EQ(first.text(), "01 02 03");
  EXPECT_EQ(second.text(), "EE 01 02 03 04");
  EXPECT_FALSE(second.shares_with(first));
  EXPECT_EQ(packet_pool.available(), before - 2);
  // The copy keeps the offsets: the headroom is what it was, less the push.
  EXPECT_EQ(first.headroom(), 8u);
  EXPECT_EQ(second.headroom(), 7u);

  first.clear();
  second.clear();
  EXPECT_EQ(packet_pool.available(), before);
}

TEST(Packet, ReadingASharedPacketDoesNotCopy) {
  size_t before = packet_pool.available();
  Packet first = bytes({9, 8});
  Packet second = first;
  EXPECT_EQ(second.length(), 2u);
  EXPECT_EQ(second.text(), "09 08");
  EXPECT_EQ(second.data(), first.data());
  EXPECT_EQ(packet_pool.available(), before - 1);
}

TEST(Packet, ReserveHeadAndTailPlaceTheEmptyWindow) {
  Packet head;
  head.reserve_head(100);
  EXPECT_EQ(head.headroom(), 100u);
  EXPECT_EQ(head.tailroom(), packet_max_size - 100);
  head.reserve_head(4);  // layers stack their header sizes
  EXPECT_EQ(head.headroom(), 104u);

  Packet tail;
  tail.reserve_tail(10);
  EXPECT_EQ(tail.tailroom(), 10u);
  EXPECT_EQ(tail.headroom(), packet_max_size - 10);
  tail.reserve_tail(6);
  EXPECT_EQ(tail.tailroom(), 16u);
}

TEST(Packet, BigAndLittleEndianFields) {
  Packet p;
  p.reserve_head(2);
  p.push16_b(0x1234);
  p.put16_b(0xABCD);
  p.put16(0xABCD);
  p.put(std::string("hi"));
  EXPECT_EQ(p.text(), "12 34 AB CD CD AB 02 68 69");
  EXPECT_EQ(p.pull16_b(), 0x1234);
  EXPECT_EQ(p.pull16_l(), 0xCDAB);
  EXPECT_EQ(p.pull16_b(), 0xCDAB);
  EXPECT_EQ(p.pull_string(), "hi");
  EXPECT_EQ(p.length(), 0u);
}

TEST(Packet, PullingPastTheEndReadsZeros) {
  Packet one = bytes({0x12});
  EXPECT_EQ(one.pull16_b(), 0x1200);
  EXPECT_EQ(one.length(), 0u);
  EXPECT_EQ(one.pull16_l(), 0);

  Packet short_string = bytes({5, 'a', 'b'});
  EXPECT_EQ(short_string.pull_string(), "ab");
}

TEST(Packet, PutAppendsAnotherPacketEvenItself) {
  Packet p = bytes({1, 2});
  Packet q = bytes({3});
  p.put(q);
  EXPECT_EQ(p.text(), "01 02 03");
  p.put(p);
  EXPECT_EQ(p.text(), "01 02 03 01 02 03");
  p.put(Packet());
  EXPECT_EQ(p.length(), 6u);
}

TEST(Packet, SubCopiesARange) {
  Packet p = bytes({1, 2, 3, 4, 5});
  Packet part = p.sub(1, 3);
  EXPECT_EQ(part.text(), "02 03 04");
  EXPECT_FALSE(part.shares_with(p));
  EXPECT_EQ(p.sub(5, 0).length(), 0u);
}

TEST(Packet, Text) {
  EXPECT_EQ(bytes({1, 171}).text(), "01 AB");
  EXPECT_EQ(Packet().text(), "(null)");
  EXPECT_EQ(bytes({}).text(), "");
  EXPECT_EQ(Packet().length(), 0u);
}

TEST(Packet, ExhaustedPoolRaisesBadAllocAndRecovers) {
  std::vector<Packet> held;
  size_t free_at_start = packet_pool.available();
  while (packet_pool.available() > 0) {
    held.emplace_back();
    held.back().reserve_head(0);
  }
  EXPECT_EQ(held.size(), free_at_start);

  Packet one_more;
  EXPECT_THROW(one_more.reserve_head(0), std::bad_alloc);
  EXPECT_THROW(one_more.reserve_tail(0), std::bad_alloc);
  EXPECT_TRUE(one_more.is_null());

  // Copy on write needs a buffer too.
  held[0].put8(7);
  Packet shared = held[0];
  EXPECT_THROW(shared.put8(8), std::bad_alloc);
  EXPECT_EQ(held[0].text(), "07");

  shared.clear();
  held.clear();
  EXPECT_EQ(packet_pool.available(), free_at_start);
  Packet again;
  again.reserve_head(0);
  EXPECT_FALSE(again.is_null());
}

TEST(Packet, PoolHandsBuffersOutInFifoOrder) {
  Packet a, b;
  a.reserve_head(0);
  const uint8_t* first = a.data();
  a.clear();
  // The released buffer goes to the tail: the next one is a different buffer.
  b.reserve_head(0);
  EXPECT_NE(b.data(), first);
}

TEST(PacketInfo, ReportShowsRoomsAndLowerCaseBytes) {
  Packet p = bytes({0x0A, 0xFF}, 3);
  std::ostringstream out;
  p.dump(out);
  EXPECT_EQ(out.str(), "head=3, data=2, tail=65531\ndump:\n a ff\n");
  std::ostringstream none;
  Packet().dump(none);
  EXPECT_EQ(none.str(), "(null)\n");
  std::ostringstream empty;
  bytes({}, 5).dump(empty);
  EXPECT_EQ(empty.str(), "head=5, data=0, tail=65531\n");
}

using PacketDeathTest = ::testing::Test;

TEST(PacketDeathTest, PushWithoutHeadroomTerminates) {
  Packet ok;
  ok.reserve_head(2);
  ok.push16_b(0x1234);
  EXPECT_EQ(ok.text(), "12 34");
  EXPECT_DEATH(
      {
        Packet p;
        p.reserve_head(1);
        p.push16_b(0x1234);
      },
      "PACKET ASSERTION FAILED!\nlen<=_headroom\\(\\)\nhead=0, data=1, tail=65535\ndump:\n 34");
}

struct Misuse {
  const char* what;
  void (*run)();
  const char* message;
};

const Misuse misuses[] = {
    {"put on a null packet", [] { Packet().put8(1); }, "null packet\n\\(null\\)"},
    {"push on a null packet", [] { Packet().push8(1); }, "null packet"},
    {"too big a head", [] { Packet().reserve_head(65537); }, "length>packet_max_size"},
    {"too big a tail", [] { Packet().reserve_tail(65537); }, "length>packet_max_size"},
    {"head moved past the end",
     [] {
       Packet p;
       p.reserve_head(65000);
       p.reserve_head(1000);
     },
     "new_len>packet_max_size"},
    {"tail moved past the start",
     [] {
       Packet p;
       p.reserve_tail(65000);
       p.reserve_tail(1000);
     },
     "_tailroom\\(\\)\\+len <= packet_max_size"},
    {"append past the tail",
     [] {
       Packet p;
       p.reserve_tail(1);
       p.put16_b(1);
     },
     "len<=_tailroom\\(\\)"},
    {"string longer than its length byte",
     [] {
       Packet p;
       p.reserve_head(0);
       p.put(std::string(256, 'x'));
     },
     "index out of range"},
    {"sub starting past the end", [] { bytes({1, 2}).sub(3, 0); }, "start<=_length\\(\\)"},
    {"sub ending past the end", [] { bytes({1, 2}).sub(1, 2); }, "start\\+len<=_length\\(\\)"},
    {"empty handle", [] { Smart_pointer<_Packet>()->refcount = 1; }, "SMART POINTER ASSERTION!"},
};

class PacketMisuseDeathTest : public ::testing::TestWithParam<Misuse> {};

TEST_P(PacketMisuseDeathTest, TerminatesWithItsText) {
  EXPECT_DEATH(GetParam().run(), GetParam().message) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(All, PacketMisuseDeathTest, ::testing::ValuesIn(misuses));

TEST(PacketDeathTest, CheckReportsBrokenPointers) {
  EXPECT_DEATH(
      {
        Packet p = bytes({1});
        // Corrupt the window the way a stray write would.
        Smart_pointer<_Packet>* raw = reinterpret_cast<Smart_pointer<_Packet>*>(&p);
        raw->get()->fdata = raw->get()->ftail + 1;
        p.check("put");
      },
      "packet check fail\nafter \"put\" fdata>ftail\nterminate.");
  Packet p = bytes({1});
  Smart_pointer<_Packet>* raw = reinterpret_cast<Smart_pointer<_Packet>*>(&p);
  uint8_t* saved = raw->get()->fdata;
  raw->get()->fdata = raw->get()->ftail + 1;
  EXPECT_EQ(p.text(), "(bad)");
  raw->get()->fdata = saved;
}

}  // namespace
