#include "transport/packet.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>

constinit PacketPool packet_pool;

void smart_pointer_assert() {
  std::clog << "SMART POINTER ASSERTION!" << std::endl;
  std::terminate();
}

_Packet::_Packet(const _Packet& other)
    : fdata(storage + (other.fdata - other.storage)), ftail(storage + (other.ftail - other.storage)) {
  std::memcpy(fdata, other.fdata, size_t(other.ftail - other.fdata));
}

void _Packet::dispose(_Packet* p) { delete p; }

void* _Packet::operator new(size_t) {
  void* slot = packet_pool.allocate();
  if (!slot) throw std::bad_alloc();
  return slot;
}

void _Packet::operator delete(void* p) { packet_pool.deallocate(p); }

PacketInfo::PacketInfo(const _Packet* p) {
  if (!p) return;
  null = false;
  fdata = p->fdata;
  ftail = p->ftail;
  const uint8_t* begin = p->storage;
  const uint8_t* end = p->storage + packet_max_size;
  if (fdata < begin || fdata > end || ftail < begin || ftail > end || fdata > ftail) {
    wrong_pointers = true;
    return;
  }
  head = size_t(fdata - begin);
  data = size_t(ftail - fdata);
  tail = size_t(end - ftail);
  bytes.assign(reinterpret_cast<const char*>(fdata), data);
}

void PacketInfo::put(std::ostream& out) const {
  if (null) {
    out << "(null)" << std::endl;
    return;
  }
  if (wrong_pointers) {
    out << "can't dump packet: wrong pointers" << std::endl;
    return;
  }
  out << "head=" << head << ", data=" << data << ", tail=" << tail << std::endl;
  if (bytes.empty()) return;
  out << "dump:" << std::endl;
  char hex[4];
  for (unsigned char c : bytes) {
    std::snprintf(hex, sizeof hex, " %x", c);
    out << hex;
  }
  out << std::endl;
}

size_t Packet::length() const { return ptr_ ? _length() : 0; }

bool Packet::pointers_valid() const {
  const _Packet* p = ptr_.get();
  const uint8_t* end = p->storage + packet_max_size;
  return p->fdata >= p->storage && p->fdata <= end && p->ftail >= p->storage && p->ftail <= end &&
         p->fdata <= p->ftail;
}

_Packet* Packet::modify() {
  passert(bool(ptr_), "null packet");
  if (ptr_.get()->refcount > 1) ptr_ = Smart_pointer<_Packet>(new _Packet(*ptr_.get()));
  return ptr_.get();
}

void Packet::allocate() {
  ptr_ = Smart_pointer<_Packet>(new _Packet);
  passert(bool(ptr_), "allocation fail");
}

void Packet::reserve_head(size_t n) {
  passert(n < packet_max_size + 1, "length>packet_max_size");
  if (!ptr_) {
    allocate();
    _Packet* p = ptr_.get();
    p->fdata = p->ftail = p->storage + n;
    return;
  }
  passert(n <= _tailroom(), "new_len>packet_max_size");
  _Packet* p = modify();
  p->fdata += n;
  p->ftail += n;
}

void Packet::reserve_tail(size_t n) {
  passert(n < packet_max_size + 1, "length>packet_max_size");
  if (!ptr_) {
    allocate();
    _Packet* p = ptr_.get();
    p->fdata = p->ftail = p->storage + packet_max_size - n;
    return;
  }
  // The window moves n bytes towards the start, so it needs n bytes of headroom.
  passert(n <= _headroom(), "_tailroom()+len <= packet_max_size");
  _Packet* p = modify();
  p->fdata -= n;
  p->ftail -= n;
}

void Packet::put(const void* bytes, size_t len) {
  passert(bool(ptr_), "null packet");
  passert(len <= _tailroom(), "len<=_tailroom()");
  _Packet* p = modify();
  if (len) std::memcpy(p->ftail, bytes, len);
  p->ftail += len;
  check("put");
}

void Packet::put8(uint8_t v) { put(&v, 1); }

void Packet::put16_b(uint16_t v) {
  uint8_t b[2] = {uint8_t(v >> 8), uint8_t(v)};
  put(b, 2);
}

void Packet::put16(uint16_t v) {
  uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
  put(b, 2);
}

void Packet::put(const Packet& other) {
  passert(bool(ptr_), "null packet");
  passert(other.is_null() || other.pointers_valid(), "index out of range");
  size_t len = other.length();
  passert(len <= _tailroom(), "len<=_tailroom()");
  if (len == 0) return;
  // Keep the source alive and unchanged even when it shares our buffer.
  Packet source = other;
  put(source.data(), len);
}

void Packet::put(const std::string& text) {
  passert(bool(ptr_), "null packet");
  // The length travels in one byte; a longer text would desynchronise the reader.
  passert(text.size() <= 255, "index out of range");
  passert(text.size() + 1 <= _tailroom(), "len<=_tailroom()");
  put8(uint8_t(text.size()));
  put(text.data(), text.size());
}

uint8_t* Packet::tail_space() {
  passert(bool(ptr_), "null packet");
  return modify()->ftail;
}

void Packet::extend(size_t len) {
  passert(bool(ptr_), "null packet");
  passert(len <= _tailroom(), "len<=_tailroom()");
  modify()->ftail += len;
  check("put");
}

void Packet::push8(uint8_t v) {
  passert(bool(ptr_), "null packet");
  passert(1 <= _headroom(), "len<=_headroom()");
  _Packet* p = modify();
  *--p->fdata = v;
  check("push");
}

void Packet::push16_b(uint16_t v) {
  push8(uint8_t(v));
  push8(uint8_t(v >> 8));
}

uint8_t Packet::pull8() {
  passert(bool(ptr_), "null packet");
  if (_length() == 0) return 0;
  _Packet* p = modify();
  return *p->fdata++;
}

uint16_t Packet::pull16_b() {
  uint16_t high = pull8();
  return uint16_t(high << 8 | pull8());
}

uint16_t Packet::pull16_l() {
  uint16_t low = pull8();
  return uint16_t(low | pull8() << 8);
}

std::string Packet::pull_string() {
  size_t len = pull8();
  std::string text;
  while (len-- > 0 && length() > 0) text += char(pull8());
  return text;
}

void Packet::pull(size_t len) {
  passert(bool(ptr_), "null packet");
  if (len > _length()) len = _length();
  modify()->fdata += len;
}

Packet Packet::sub(size_t start, size_t len) const {
  passert(bool(ptr_), "null packet");
  passert(start <= _length(), "start<=_length()");
  passert(len <= _length() - start, "start+len<=_length()");
  Packet part;
  part.reserve_head(0);
  part.put(data() + start, len);
  return part;
}

std::string Packet::text() const {
  if (!ptr_) return "(null)";
  if (!pointers_valid()) return "(bad)";
  std::string out;
  char hex[4];
  for (size_t i = 0; i < _length(); ++i) {
    std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", data()[i]);
    out += hex;
  }
  return out;
}

void Packet::check(const char* name) const {
  if (!ptr_) check_fail("after \"%s\" packet is null", name);
  const _Packet* p = ptr_.get();
  const uint8_t* end = p->storage + packet_max_size;
  if (p->fdata < p->storage || p->fdata > end) check_fail("after \"%s\" fdata invalid", name);
  if (p->ftail < p->storage || p->ftail > end) check_fail("after \"%s\" ftail invalid", name);
  if (p->fdata > p->ftail) check_fail("after \"%s\" fdata>ftail", name);
}

void Packet::check_fail(const char* format, const char* name) const {
  char message[256];
  std::snprintf(message, sizeof message, format, name);
  std::clog << "packet check fail" << std::endl << message << std::endl << "terminate." << std::endl;
  std::terminate();
}

void Packet::passert(bool condition, const char* text) const {
  if (condition) return;
  std::clog << "PACKET ASSERTION FAILED!" << std::endl << text << std::endl;
  PacketInfo(ptr_.get()).put(std::clog);
  std::terminate();
}

void Packet::dump(std::ostream& out) const { PacketInfo(ptr_.get()).put(out); }

void Packet::dump_context(std::ostream& out) const { PacketInfo(ptr_.get()).put(out); }
