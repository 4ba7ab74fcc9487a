#pragma once
// Free lists for the small value objects that decoding makes by the dozen.
// Freed blocks stay on a per-thread list for reuse; under the sanitizers every
// block goes straight to the system allocator so that misuse is still caught.
#include <cstddef>

namespace ASN1::ValuePool {

void* allocate(std::size_t bytes);
void release(void* block, std::size_t bytes) noexcept;

} // namespace ASN1::ValuePool
