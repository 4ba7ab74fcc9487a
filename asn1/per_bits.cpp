#include "asn1/per_bits.h"

namespace ASN1 {

void ByteBuffer::grow(std::size_t needed) {
  std::size_t cap = capacity_ * 2;
  if (cap < needed) cap = needed;
  auto bigger = std::make_unique<std::uint8_t[]>(cap);
  std::memcpy(bigger.get(), data_, size_);
  heap_ = std::move(bigger);
  data_ = heap_.get();
  capacity_ = cap;
}

} // namespace ASN1
