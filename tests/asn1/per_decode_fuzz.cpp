// Arbitrary bytes decoded as every test type: the decoder must fail cleanly
// (no crash, no read out of bounds, no unbounded allocation), and whatever
// it accepts must encode again and decode to an equal value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "asn1/coder_env.h"
#include "tests/asn1/Kinds.h"
#include "tests/asn1/KindsUser.h"
#include "tests/asn1/LgcpSubset.h"
#include "tests/asn1/MonSubset.h"

namespace {

template <class T>
void exercise(const std::uint8_t* data, std::size_t size) {
  const ASN1::CoderEnv env(KELVAD_FUZZ_RULE);
  T value;
  if (!env.decode(data, data + size, value)) return;
  (void)value.asValueNotation();
  std::vector<std::uint8_t> bytes;
  // A decoded value may still be unencodable (a value the sender had no
  // right to send); when it encodes, it must come back equal.
  if (!env.encode(value, std::back_inserter(bytes))) return;
  T again;
  if (!env.decode(bytes.begin(), bytes.end(), again) || value.compare(again) != 0) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first octet picks the type, the rest is the input.
  const std::uint8_t pick = data[0] % 8;
  ++data, --size;
  switch (pick) {
  case 0: exercise<LgcpSubset::Message>(data, size); break;
  case 1: exercise<MonSubset::Message>(data, size); break;
  case 2: exercise<Kinds::Numbers>(data, size); break;
  case 3: exercise<Kinds::Strings>(data, size); break;
  case 4: exercise<Kinds::Structures>(data, size); break;
  case 5: exercise<Kinds::Everything>(data, size); break;
  case 6: exercise<KindsUser::Holder>(data, size); break;
  default: exercise<LgcpSubset::EntryList>(data, size); break;
  }
  return 0;
}
