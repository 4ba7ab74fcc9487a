#pragma once
// Selects the encoding rules of one encode or decode call. Encoding goes
// through scratch space first, so a failed encode appends nothing.
#include <cstdint>
#include <iterator>
#include <memory>
#include <type_traits>
#include <vector>

#include "asn1/abstract_data.h"
#include "asn1/per_bits.h"

namespace ASN1 {

class CoderEnv {
public:
  enum EncodingRule { avn = 0, ber = 1, per_Aligned = 2, per_Unaligned = 3 };

  explicit CoderEnv(int rule = per_Aligned) : encodingRule(rule) {}

  // Appends the encoding to out (an output iterator over bytes).
  template <class OutputIterator>
  bool encode(const AbstractData& value, OutputIterator out) const;

  // Decodes one value of value's type from [first, last) (contiguous bytes)
  // into value. Bytes after the value are ignored. With keepNoReference
  // false the decoder hands this environment on to open-type contents.
  template <class ContiguousIterator>
  bool decode(ContiguousIterator first, ContiguousIterator last, AbstractData& value,
              bool keepNoReference = true) const {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(std::to_address(first));
    return decodeBytes(begin, begin + (last - first), value, keepNoReference);
  }

  bool encodeTo(const AbstractData& value, ByteBuffer& scratch) const;
  bool decodeBytes(const std::uint8_t* first, const std::uint8_t* last, AbstractData& value,
                   bool keepNoReference) const;

  int encodingRule;
};

namespace detail {
template <class C>
C& containerOf(std::back_insert_iterator<C> it) {
  struct Access : std::back_insert_iterator<C> {
    explicit Access(std::back_insert_iterator<C> b) : std::back_insert_iterator<C>(b) {}
    C* get() const { return this->container; }
  };
  return *Access(it).get();
}
template <class T>
struct IsBackInserter : std::false_type {};
template <class C>
struct IsBackInserter<std::back_insert_iterator<C>> : std::true_type {};
} // namespace detail

template <class OutputIterator>
bool CoderEnv::encode(const AbstractData& value, OutputIterator out) const {
  ByteBuffer scratch;
  if (!encodeTo(value, scratch)) return false;
  const std::uint8_t* bytes = scratch.data();
  if constexpr (detail::IsBackInserter<OutputIterator>::value) {
    auto& c = detail::containerOf(out);
    c.insert(c.end(), bytes, bytes + scratch.size());
  } else {
    for (std::size_t i = 0; i < scratch.size(); ++i) *out++ = bytes[i];
  }
  return true;
}

template <class OutputIterator>
bool encode(const AbstractData& value, const CoderEnv& env, OutputIterator out) {
  return env.encode(value, out);
}

template <class ContiguousIterator>
bool decode(ContiguousIterator first, ContiguousIterator last, const CoderEnv& env, AbstractData& value,
            bool keepNoReference = true) {
  return env.decode(first, last, value, keepNoReference);
}

} // namespace ASN1
