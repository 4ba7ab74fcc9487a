#include "asn1/value_pool.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define KELVAD_ASN1_NO_POOL 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELVAD_ASN1_NO_POOL 1
#endif
#endif

namespace ASN1::ValuePool {
#ifndef KELVAD_ASN1_NO_POOL
namespace {

constexpr std::size_t Granule = 16;
constexpr std::size_t LargestPooled = 256;
constexpr std::size_t ClassCount = LargestPooled / Granule;
constexpr std::size_t ChunkBytes = 16384;

struct FreeBlock {
  FreeBlock* next;
};

struct Lists {
  FreeBlock* head[ClassCount] = {};
};

thread_local Lists lists;

std::size_t classOf(std::size_t bytes) { return (bytes + Granule - 1) / Granule - 1; }

FreeBlock* refill(std::size_t cls) {
  // Chunks are never given back: the lists only grow to the peak number of
  // live values, which the decoder limits keep small.
  const std::size_t blockBytes = (cls + 1) * Granule;
  char* chunk = static_cast<char*>(::operator new(ChunkBytes));
  FreeBlock* first = nullptr;
  for (std::size_t off = ChunkBytes / blockBytes * blockBytes; off >= blockBytes;) {
    off -= blockBytes;
    auto* b = reinterpret_cast<FreeBlock*>(chunk + off);
    b->next = first;
    first = b;
  }
  return first;
}

} // namespace
#endif

void* allocate(std::size_t bytes) {
#ifndef KELVAD_ASN1_NO_POOL
  if (bytes != 0 && bytes <= LargestPooled) {
    const std::size_t cls = classOf(bytes);
    FreeBlock* b = lists.head[cls];
    if (!b) b = refill(cls);
    lists.head[cls] = b->next;
    return b;
  }
#endif
  return ::operator new(bytes);
}

void release(void* block, [[maybe_unused]] std::size_t bytes) noexcept {
  if (!block) return;
#ifndef KELVAD_ASN1_NO_POOL
  if (bytes != 0 && bytes <= LargestPooled) {
    const std::size_t cls = classOf(bytes);
    auto* b = static_cast<FreeBlock*>(block);
    b->next = lists.head[cls];
    lists.head[cls] = b;
    return;
  }
#endif
  ::operator delete(block);
}

} // namespace ASN1::ValuePool
