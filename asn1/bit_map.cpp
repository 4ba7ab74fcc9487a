#include "asn1/bit_map.h"

#include <algorithm>
#include <cstring>

namespace ASN1 {

BitMap::BitMap(const BitMap& other) { *this = other; }

BitMap& BitMap::operator=(const BitMap& other) {
  if (this != &other) {
    bitCount_ = 0;
    resize(other.bitCount_);
    std::memcpy(data(), other.data(), (other.bitCount_ + 7) / 8);
  }
  return *this;
}

BitMap::BitMap(BitMap&& other) noexcept { *this = std::move(other); }

BitMap& BitMap::operator=(BitMap&& other) noexcept {
  if (this != &other) {
    bitCount_ = other.bitCount_;
    heapBytes_ = other.heapBytes_;
    heap_ = std::move(other.heap_);
    std::memcpy(inline_, other.inline_, InlineBytes);
    other.bitCount_ = 0;
    other.heapBytes_ = 0;
  }
  return *this;
}

void BitMap::resize(unsigned bits) {
  const unsigned oldBytes = (bitCount_ + 7) / 8;
  const unsigned newBytes = (bits + 7) / 8;
  if (newBytes > byteCapacity()) {
    auto grown = std::make_unique<std::uint8_t[]>(newBytes);
    std::memcpy(grown.get(), data(), oldBytes);
    heap_ = std::move(grown);
    heapBytes_ = newBytes;
  }
  std::uint8_t* bytes = data();
  if (bits < bitCount_) {
    // Clear what falls off so that growing again yields clear bits.
    std::fill(bytes + newBytes, bytes + oldBytes, 0);
    if (bits & 7) bytes[bits >> 3] &= std::uint8_t(0xFF00u >> (bits & 7));
  } else {
    std::fill(bytes + oldBytes, bytes + newBytes, 0);
  }
  bitCount_ = bits;
}

bool BitMap::any() const {
  const std::uint8_t* bytes = data();
  for (unsigned i = 0, n = (bitCount_ + 7) / 8; i < n; ++i)
    if (bytes[i]) return true;
  return false;
}

void BitMap::assign(const std::uint8_t* bytes, unsigned bits) {
  bitCount_ = 0;
  resize(bits);
  const unsigned n = (bits + 7) / 8;
  std::memcpy(data(), bytes, n);
  if (bits & 7) data()[n - 1] &= std::uint8_t(0xFF00u >> (bits & 7));
}

} // namespace ASN1
