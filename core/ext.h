#pragma once
// Helpers for log lines: the per-object prefix, hexadecimal output and the
// fixed-width text tables of the status dump.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace ext {

// Writing header(obj) to a stream calls obj->PutHeader(stream), which writes
// a short identification of the object followed by ": ".
template <class T>
struct OutObjHeader {
  const T* object;
};
template <class T>
OutObjHeader<T> header(const T* object) {
  return {object};
}
template <class T>
std::ostream& operator<<(std::ostream& out, const OutObjHeader<T>& h) {
  h.object->PutHeader(out);
  return out;
}

// Each byte as two upper-case hex digits and a blank: 03 00 FF .
struct OutBufInHex {
  const uint8_t* data;
  size_t length;
  OutBufInHex(const void* d, size_t n) : data(static_cast<const uint8_t*>(d)), length(n) {}
};
std::ostream& operator<<(std::ostream& out, const OutBufInHex& hex);

// "0x" and the value in upper-case hex, zero-padded to the width.
struct OutUnsignedInHex {
  unsigned long value;
  int width;
  OutUnsignedInHex(unsigned long v, int w) : value(v), width(w) {}
};
std::ostream& operator<<(std::ostream& out, const OutUnsignedInHex& hex);

// A text table of fixed-width columns; cells are centred and cut to width.
class Table {
 public:
  class Sentry;
  Table(std::ostream& out, std::initializer_list<int> widths) : out_(&out), widths_(widths) {}
  // Zero to seven column widths; add() appends more.
  template <class... Widths>
  explicit Table(std::ostream& out, Widths... widths) : out_(&out), widths_{int(widths)...} {
    static_assert(sizeof...(Widths) <= 7, "at most seven widths; add() appends more");
  }
  Table& add(int width) {
    widths_.push_back(width);
    return *this;
  }

  // "|", the text centred and cut to the column width; "|\n" after the last column.
  void cell(const std::string& text);
  void endrow();       // completes the row with cells holding one blank
  void delimeter();    // "+-----+---+", after completing the row
  std::ostream& stream() { return *out_; }

 private:
  std::ostream* out_ = nullptr;
  std::vector<int> widths_;
  size_t column_ = 0;
};

// Collects the text of one cell with the usual stream insertions.
class Table::Sentry {
 public:
  explicit Sentry(Table& table) : table_(table) {}
  ~Sentry() { flush(); }
  template <class V>
  Sentry& operator<<(const V& v) {
    text_ << v;
    pending_ = true;
    return *this;
  }
  void flush();      // ends the pending cell, if any
  void end_cell();   // ends the cell, empty if nothing was written
  Table& table() { return table_; }

 private:
  Table& table_;
  std::ostringstream text_;
  bool pending_ = false;
};

// Ends the cell being written (an empty one if nothing was written).
Table::Sentry& nextrow(Table::Sentry& s);
// Starts a new row (completing the current one).
Table::Sentry& beginrow(Table::Sentry& s);
// Writes a delimiter line (completing the current row).
Table::Sentry& delimeter(Table::Sentry& s);

inline Table::Sentry& operator<<(Table::Sentry& s, Table::Sentry& (*manip)(Table::Sentry&)) {
  return manip(s);
}

}  // namespace ext
