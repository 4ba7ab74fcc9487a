#include "asn1/generalized_time.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "asn1/visitors.h"

namespace ASN1 {

constinit const AbstractInfo GeneralizedTime::theInfo = {&GeneralizedTime::create, 24};

GeneralizedTime& GeneralizedTime::operator=(const GeneralizedTime& o) {
  year = o.year, month = o.month, day = o.day, hour = o.hour, minute = o.minute, second = o.second;
  millisec = o.millisec, mindiff = o.mindiff, utc = o.utc;
  return *this;
}

bool GeneralizedTime::set(const std::string& text) {
  int f[6];
  if (std::sscanf(text.c_str(), "%4d%2d%2d%2d%2d%2d", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5]) != 6) return false;
  year = f[0], month = f[1], day = f[2], hour = f[3], minute = f[4], second = f[5];
  millisec = 0;
  mindiff = 0;
  if (text.size() > 14 && text[14] == '.') {
    // Digits, not a floating-point product: .289 must give 289, not 288.
    int scale = 100;
    for (std::size_t i = 15; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
      millisec += (text[i] - '0') * scale;
      scale /= 10;
    }
  }
  utc = !text.empty() && text.back() == 'Z';
  if (!utc && text.size() >= 5) {
    const char sign = text[text.size() - 5];
    if (sign == '+' || sign == '-') {
      const std::string digits = text.substr(text.size() - 4);
      const int hh = std::atoi(digits.substr(0, 2).c_str());
      const int mm = std::atoi(digits.substr(2, 2).c_str());
      mindiff = (sign == '-' ? -1 : 1) * (hh * 60 + mm);
    }
  }
  return true;
}

std::string GeneralizedTime::get() const {
  char buf[96];
  int n = std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute, second);
  if (millisec != 0 && n < int(sizeof buf)) n += std::snprintf(buf + n, sizeof buf - n, ".%03d", millisec);
  if (n < int(sizeof buf)) {
    if (utc) {
      n += std::snprintf(buf + n, sizeof buf - n, "Z");
    } else if (mindiff != 0) {
      // Sign first, then the magnitude: -90 is "-0130", not "-01-30".
      const int magnitude = std::abs(mindiff);
      n += std::snprintf(buf + n, sizeof buf - n, "%c%02d%02d", mindiff < 0 ? '-' : '+', magnitude / 60,
                         magnitude % 60);
    }
  }
  return std::string(buf, n < int(sizeof buf) ? std::size_t(n) : sizeof buf - 1);
}

std::time_t GeneralizedTime::get_time_t() const {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

void GeneralizedTime::set_time_t(std::time_t t) {
  std::tm tm{};
  gmtime_r(&t, &tm);
  year = tm.tm_year + 1900;
  month = tm.tm_mon + 1;
  day = tm.tm_mday;
  hour = tm.tm_hour;
  minute = tm.tm_min;
  second = tm.tm_sec;
}

int GeneralizedTime::do_compare(const AbstractData& other) const {
  const auto& o = static_cast<const GeneralizedTime&>(other);
  const int mine[] = {year, month, day, hour, minute, second, millisec, utc};
  const int theirs[] = {o.year, o.month, o.day, o.hour, o.minute, o.second, o.millisec, o.utc};
  for (int i = 0; i < 8; ++i)
    if (mine[i] != theirs[i]) return mine[i] < theirs[i] ? -1 : 1;
  return 0;
}
bool GeneralizedTime::do_accept(Visitor& v) { return v.do_visit(*this); }
bool GeneralizedTime::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

} // namespace ASN1
