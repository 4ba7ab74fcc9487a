#pragma once
// Bit-level output and input of the PER codec, most significant bit first.
// `bitsLeft` is the number of unused bits of the current octet; 8 means the
// next bit opens a new octet.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace ASN1 {

// Encoding scratch space: the first 256 octets live on the stack.
class ByteBuffer {
public:
  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  std::size_t size() const { return size_; }
  const std::uint8_t* data() const { return data_; }
  std::uint8_t& back() { return data_[size_ - 1]; }
  void push(std::uint8_t b) {
    if (size_ == capacity_) grow(size_ + 1);
    data_[size_++] = b;
  }
  void append(const std::uint8_t* bytes, std::size_t n) {
    if (n == 0) return;
    if (size_ + n > capacity_) grow(size_ + n);
    std::memcpy(data_ + size_, bytes, n);
    size_ += n;
  }

private:
  void grow(std::size_t needed);

  std::uint8_t local_[256];
  std::uint8_t* data_ = local_;
  std::size_t size_ = 0;
  std::size_t capacity_ = sizeof local_;
  std::unique_ptr<std::uint8_t[]> heap_;
};

class BitWriter {
public:
  explicit BitWriter(ByteBuffer& out) : out_(out) {}

  void putBit(bool bit) {
    if (bitsLeft_ == 8) out_.push(0);
    --bitsLeft_;
    if (bit) out_.back() |= std::uint8_t(1u << bitsLeft_);
    if (bitsLeft_ == 0) bitsLeft_ = 8;
  }
  // The n low bits of v, n <= 32.
  void putBits(std::uint32_t v, unsigned n) {
    if (n == 0) return;
    const std::uint64_t bits = std::uint64_t(v) & ((std::uint64_t(1) << n) - 1);
    if (bitsLeft_ != 8) { // top up the open octet first
      if (n <= bitsLeft_) {
        bitsLeft_ -= n;
        out_.back() |= std::uint8_t(bits << bitsLeft_);
        if (bitsLeft_ == 0) bitsLeft_ = 8;
        return;
      }
      n -= bitsLeft_;
      out_.back() |= std::uint8_t(bits >> n);
      bitsLeft_ = 8;
    }
    while (n >= 8) {
      n -= 8;
      out_.push(std::uint8_t(bits >> n));
    }
    if (n) {
      out_.push(std::uint8_t(bits << (8 - n)));
      bitsLeft_ = 8 - n;
    }
  }
  void align() { bitsLeft_ = 8; }
  void putOctets(const std::uint8_t* bytes, std::size_t n) {
    align();
    out_.append(bytes, n);
  }

private:
  ByteBuffer& out_;
  unsigned bitsLeft_ = 8;
};

class BitReader {
public:
  BitReader(const std::uint8_t* first, const std::uint8_t* last) : cur_(first), end_(last) {}

  std::size_t bitsAvailable() const { return std::size_t(end_ - cur_) * 8 + bitsLeft_ - 8; }
  bool atEnd() const { return cur_ >= end_; }

  // 0 when no bit is left.
  bool getBit() {
    if (cur_ >= end_) return false;
    --bitsLeft_;
    const bool bit = (*cur_ >> bitsLeft_) & 1u;
    if (bitsLeft_ == 0) {
      bitsLeft_ = 8;
      ++cur_;
    }
    return bit;
  }
  // False when n > 32 or fewer than n bits are left.
  bool getBits(unsigned n, std::uint32_t& v) {
    if (n > 32 || bitsAvailable() < n) return false;
    std::uint64_t r = 0;
    if (bitsLeft_ != 8 && n) { // the rest of the open octet first
      const unsigned take = n < bitsLeft_ ? n : bitsLeft_;
      bitsLeft_ -= take;
      n -= take;
      r = (*cur_ >> bitsLeft_) & ((1u << take) - 1);
      if (bitsLeft_ == 0) {
        bitsLeft_ = 8;
        ++cur_;
      }
    }
    while (n >= 8) {
      r = (r << 8) | *cur_++;
      n -= 8;
    }
    if (n) {
      bitsLeft_ = 8 - n;
      r = (r << n) | (*cur_ >> bitsLeft_);
    }
    v = std::uint32_t(r);
    return true;
  }
  void align() {
    if (bitsLeft_ != 8) {
      bitsLeft_ = 8;
      ++cur_;
    }
  }
  // Aligns, then copies at most n octets; returns how many it copied.
  std::size_t getOctets(std::uint8_t* dst, std::size_t n) {
    align();
    const std::size_t avail = std::size_t(end_ - cur_);
    if (n > avail) n = avail;
    if (n) std::memcpy(dst, cur_, n);
    cur_ += n;
    return n;
  }
  // Aligned view of the next n octets, or null when fewer remain.
  const std::uint8_t* takeOctets(std::size_t n) {
    align();
    if (std::size_t(end_ - cur_) < n) return nullptr;
    const std::uint8_t* p = cur_;
    cur_ += n;
    return p;
  }

  const std::uint8_t* position() const { return cur_; }
  const std::uint8_t* end() const { return end_; }
  // Moves to an octet boundary at p, clamped to the end of the input.
  void seek(const std::uint8_t* p) {
    cur_ = p < end_ ? p : end_;
    bitsLeft_ = 8;
  }
  void setEnd(const std::uint8_t* e) { end_ = e; }

private:
  const std::uint8_t* cur_;
  const std::uint8_t* end_;
  unsigned bitsLeft_ = 8;
};

} // namespace ASN1
