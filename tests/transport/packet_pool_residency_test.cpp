// The pool reserves 64 MiB statically but costs memory only for the buffers
// that are used. Kept in its own program so that nothing touched the pool first.

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "transport/packet.h"

namespace {

// Bytes of [begin, begin+size) that are resident, or -1 when the system cannot tell.
long resident_bytes(const void* begin, size_t size) {
  long page = ::sysconf(_SC_PAGESIZE);
  uintptr_t start = reinterpret_cast<uintptr_t>(begin) & ~uintptr_t(page - 1);
  uintptr_t end = reinterpret_cast<uintptr_t>(begin) + size;
  size_t pages = (end - start + page - 1) / page;
  std::vector<unsigned char> map(pages);
  if (::mincore(reinterpret_cast<void*>(start), end - start, map.data()) != 0) return -1;
  long count = 0;
  for (unsigned char m : map) count += m & 1;
  return count * page;
}

TEST(PacketPool, IsNotResidentUntilBuffersAreUsed) {
  long at_start = resident_bytes(packet_pool.storage(), PacketPool::storage_size());
  if (at_start < 0) GTEST_SKIP() << "mincore is not available here";
  const long MiB = 1024 * 1024;
  EXPECT_GE(PacketPool::storage_size(), size_t(64 * MiB));
  // Huge pages may map a little around the bookkeeping; never the whole pool.
  EXPECT_LT(at_start, 4 * MiB);

  std::vector<Packet> used(8);
  for (Packet& p : used) {
    p.reserve_head(0);
    std::vector<uint8_t> fill(p.tailroom(), 0x5A);
    p.put(fill.data(), fill.size());
  }
  long after = resident_bytes(packet_pool.storage(), PacketPool::storage_size());
  EXPECT_GE(after - at_start, 8 * long(packet_max_size) - 8 * 4096);
  EXPECT_LT(after, 16 * MiB);
}

}  // namespace
