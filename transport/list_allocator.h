#pragma once
// A fixed pool of N objects of type T in static storage, handed out in FIFO
// order (allocate takes the head of the free list, deallocate appends to the
// tail). The storage is plain zero-initialised memory: the kernel maps it only
// when a buffer is first written, so an idle pool costs no resident memory.

#include <cstddef>
#include <cstdint>
#include <new>

struct Dummy_critical_section {
  void lock() {}
  void unlock() {}
};

template <class T, size_t N, class CriticalSection>
class List_allocator {
 public:
  static_assert(N <= 65535, "free-list entries are 16-bit");

  constexpr List_allocator() = default;
  List_allocator(const List_allocator&) = delete;
  List_allocator& operator=(const List_allocator&) = delete;

  // Raw storage for one T, or null when every buffer is in use.
  void* allocate() {
    guard_.lock();
    void* slot = nullptr;
    if (used_ < N) {
      slot = storage_ + entry(head_) * sizeof(T);
      head_ = (head_ + 1) % N;
      ++used_;
    }
    guard_.unlock();
    return slot;
  }
  void deallocate(void* slot) {
    guard_.lock();
    size_t index = size_t(static_cast<unsigned char*>(slot) - storage_) / sizeof(T);
    size_t tail = (head_ + (N - used_)) % N;
    free_[tail] = uint16_t(index ^ tail);
    --used_;
    guard_.unlock();
  }

  size_t available() const { return N - used_; }
  static constexpr size_t capacity() { return N; }
  bool owns(const void* p) const {
    auto* b = static_cast<const unsigned char*>(p);
    return b >= storage_ && b < storage_ + sizeof storage_;
  }
  const void* storage() const { return storage_; }
  static constexpr size_t storage_size() { return N * sizeof(T); }

 private:
  // Each free-list entry is stored XOR its position, so that the all-zero
  // initial image already reads as the list 0, 1, ..., N-1 and the whole pool
  // stays in zero-filled (untouched) memory.
  size_t entry(size_t position) const { return size_t(free_[position]) ^ position; }

  alignas(T) unsigned char storage_[N * sizeof(T)] = {};
  uint16_t free_[N] = {};
  size_t head_ = 0;
  size_t used_ = 0;
  CriticalSection guard_;
};
