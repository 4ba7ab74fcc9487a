#pragma once
// Frames travelling through the protocol layers: copy-on-write handles to
// fixed-size buffers from a static pool, with room in front for the headers
// lower layers prepend and room behind for appended data. Every misuse is a
// broken invariant: it prints a diagnosis on clog and terminates.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "transport/list_allocator.h"
#include "transport/smart_pointer.h"

inline constexpr size_t packet_max_size = 65536;
inline constexpr size_t packet_pool_size = 1024;

// One buffer; the valid bytes are [fdata, ftail) inside storage.
class _Packet {
 public:
  _Packet() : fdata(storage + packet_max_size), ftail(storage + packet_max_size) {}
  // Copies only the valid bytes, at the same offsets; the copy is unshared.
  _Packet(const _Packet& other);
  _Packet& operator=(const _Packet&) = delete;

  void add_ref() { ++refcount; }
  bool release_ref() { return --refcount == 0; }
  static void dispose(_Packet* p);
  // Raw storage from the pool; throws bad_alloc when the pool is exhausted.
  static void* operator new(size_t);
  static void operator delete(void* p);

  int refcount = 0;
  uint8_t* fdata;
  uint8_t* ftail;
  uint8_t storage[packet_max_size];
};

typedef List_allocator<_Packet, packet_pool_size, Dummy_critical_section> PacketPool;
extern constinit PacketPool packet_pool;

// A snapshot of a packet for the assertion report.
struct PacketInfo {
  explicit PacketInfo(const _Packet* p);
  void put(std::ostream& out) const;

  const uint8_t* fdata = nullptr;
  const uint8_t* ftail = nullptr;
  size_t head = 0, data = 0, tail = 0;
  bool null = true;
  bool wrong_pointers = false;
  std::string bytes;
};

class Packet {
 public:
  Packet() = default;

  size_t length() const;
  bool is_null() const { return !ptr_; }
  size_t headroom() const { return ptr_ ? _headroom() : 0; }
  size_t tailroom() const { return ptr_ ? _tailroom() : 0; }
  // The valid bytes (read only; no copy is made).
  const uint8_t* data() const { return ptr_ ? ptr_.get()->fdata : nullptr; }

  // Without a buffer: takes one with n bytes of headroom. With one: moves
  // the (empty) window n bytes towards the end.
  void reserve_head(size_t n);
  // The mirror image: n bytes of tailroom, or the window moved towards the start.
  void reserve_tail(size_t n);

  void put8(uint8_t v);
  void put16_b(uint16_t v);
  void put16(uint16_t v);
  void put(const void* bytes, size_t len);
  void put(const Packet& other);
  // One length byte, then the characters.
  void put(const std::string& text);
  // Room to read into: write up to tailroom() bytes at tail_space(), then extend().
  uint8_t* tail_space();
  void extend(size_t len);

  void push8(uint8_t v);
  void push16_b(uint16_t v);

  // Bytes missing at the end read as 0.
  uint8_t pull8();
  uint16_t pull16_b();
  uint16_t pull16_l();
  std::string pull_string();
  // Drops up to len bytes from the start.
  void pull(size_t len);

  Packet sub(size_t start, size_t len) const;
  std::string text() const;
  void check(const char* name) const;
  void passert(bool condition, const char* text) const;
  void dump(std::ostream& out) const;
  void dump_context(std::ostream& out) const;
  void clear() { ptr_.release(); }
  // True when both handles share one buffer.
  bool shares_with(const Packet& other) const { return ptr_ && ptr_.get() == other.ptr_.get(); }

 private:
  size_t _headroom() const { return size_t(ptr_.get()->fdata - ptr_.get()->storage); }
  size_t _tailroom() const { return size_t(ptr_.get()->storage + packet_max_size - ptr_.get()->ftail); }
  size_t _length() const { return size_t(ptr_.get()->ftail - ptr_.get()->fdata); }
  bool pointers_valid() const;
  // The buffer for writing: unshared first (copy on write).
  _Packet* modify();
  void allocate();
  [[noreturn]] void check_fail(const char* format, const char* name) const;

  Smart_pointer<_Packet> ptr_;
};
