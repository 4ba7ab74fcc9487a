#include "core/ext.h"

#include <iomanip>

namespace ext {

std::ostream& operator<<(std::ostream& out, const OutBufInHex& hex) {
  std::ios_base::fmtflags flags = out.flags();
  std::streamsize width = out.width();
  char fill = out.fill();
  static const char digits[] = "0123456789ABCDEF";
  for (size_t i = 0; i < hex.length; ++i) {
    char text[3] = {digits[hex.data[i] >> 4], digits[hex.data[i] & 15], ' '};
    out.write(text, 3);
  }
  out.flags(flags);
  out.width(width);
  out.fill(fill);
  return out;
}

std::ostream& operator<<(std::ostream& out, const OutUnsignedInHex& hex) {
  std::ios_base::fmtflags flags = out.flags();
  char fill = out.fill();
  out << "0x" << std::hex << std::uppercase << std::setw(hex.width) << std::setfill('0') << hex.value;
  out.flags(flags);
  out.fill(fill);
  return out;
}

void Table::cell(const std::string& text) {
  if (widths_.empty()) return;
  int width = widths_[column_];
  int length = int(text.size());
  std::string cut = length > width ? text.substr(0, size_t(width)) : text;
  int left = length < width ? (width - length) / 2 : 0;
  int right = length < width ? (width - length + 1) / 2 : 0;
  *out_ << '|' << std::string(size_t(left), ' ') << cut << std::string(size_t(right), ' ');
  if (++column_ == widths_.size()) {
    *out_ << "|\n";
    column_ = 0;
  }
}

void Table::endrow() {
  while (column_ != 0) cell(" ");
}

void Table::delimeter() {
  endrow();
  for (int w : widths_) *out_ << '+' << std::string(size_t(w), '-');
  *out_ << "+\n";
}

void Table::Sentry::flush() {
  if (!pending_) return;
  table_.cell(text_.str());
  text_.str("");
  text_.clear();
  pending_ = false;
}

void Table::Sentry::end_cell() {
  pending_ = true;
  flush();
}

Table::Sentry& nextrow(Table::Sentry& s) {
  s.end_cell();
  return s;
}

Table::Sentry& beginrow(Table::Sentry& s) {
  s.flush();
  s.table().endrow();
  return s;
}

Table::Sentry& delimeter(Table::Sentry& s) {
  s.flush();
  s.table().delimeter();
  return s;
}

}  // namespace ext
