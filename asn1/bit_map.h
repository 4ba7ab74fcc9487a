#pragma once
// A bit count plus bytes, bit 0 in the most significant bit of byte 0. Bits at
// or past the count read as 0 and cannot be set. Up to 128 bits live inline,
// so the optional and extension maps of a SEQUENCE cost no allocation.
#include <cstdint>
#include <memory>

namespace ASN1 {

class BitMap {
public:
  BitMap() = default;
  explicit BitMap(unsigned bits) { resize(bits); }
  BitMap(const BitMap& other);
  BitMap& operator=(const BitMap& other);
  BitMap(BitMap&&) noexcept;
  BitMap& operator=(BitMap&&) noexcept;

  unsigned size() const { return bitCount_; }
  void resize(unsigned bits); // keeps existing bits; new bits are clear

  bool test(unsigned bit) const {
    return bit < bitCount_ && (data()[bit >> 3] & (0x80u >> (bit & 7))) != 0;
  }
  void set(unsigned bit) {
    if (bit < bitCount_) data()[bit >> 3] |= std::uint8_t(0x80u >> (bit & 7));
  }
  void clear(unsigned bit) {
    if (bit < bitCount_) data()[bit >> 3] &= std::uint8_t(~(0x80u >> (bit & 7)));
  }
  bool any() const;
  // Copies `bits` bits from MSB-first bytes.
  void assign(const std::uint8_t* bytes, unsigned bits);

  const std::uint8_t* data() const { return heap_ ? heap_.get() : inline_; }
  std::uint8_t* data() { return heap_ ? heap_.get() : inline_; }

private:
  static constexpr unsigned InlineBytes = 16;
  unsigned byteCapacity() const { return heap_ ? heapBytes_ : InlineBytes; }

  unsigned bitCount_ = 0;
  unsigned heapBytes_ = 0;
  std::uint8_t inline_[InlineBytes] = {};
  std::unique_ptr<std::uint8_t[]> heap_;
};

} // namespace ASN1
