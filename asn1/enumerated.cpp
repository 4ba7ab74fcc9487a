#include "asn1/enumerated.h"

#include <charconv>

#include "asn1/visitors.h"

namespace ASN1 {
namespace {

struct NamedValue {
  std::string_view name;
  int value;
};

// Splits "name=N" into its parts; `implied` is the value without "=N".
NamedValue parseEntry(const char* entry, int implied) {
  std::string_view text(entry);
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return {text, implied};
  int value = implied;
  std::from_chars(text.data() + eq + 1, text.data() + text.size(), value);
  return {text.substr(0, eq), value};
}

template <class Match>
const char* findEntry(const EnumeratedInfo* info, Match match, NamedValue& found) {
  int next = 0;
  for (unsigned i = 0; i < info->nameCount; ++i) {
    found = parseEntry(info->enumNames[i], next);
    if (match(found)) return info->enumNames[i];
    next = found.value + 1;
  }
  return nullptr;
}

} // namespace

std::string_view ENUMERATED::getName() const {
  if (value_ < 0 || value_ > info()->maxValue) return {};
  NamedValue found;
  if (findEntry(info(), [this](const NamedValue& nv) { return nv.value == value_; }, found)) return found.name;
  return {};
}

bool ENUMERATED::setFromName(std::string_view name) {
  NamedValue found;
  if (!findEntry(info(), [name](const NamedValue& nv) { return nv.name == name; }, found)) return false;
  value_ = found.value;
  return true;
}

int ENUMERATED::do_compare(const AbstractData& other) const {
  const int o = static_cast<const ENUMERATED&>(other).value_;
  return value_ < o ? -1 : (value_ > o ? 1 : 0);
}
bool ENUMERATED::do_accept(Visitor& v) { return v.do_visit(*this); }
bool ENUMERATED::do_accept(ConstVisitor& v) const { return v.do_visit(*this); }

} // namespace ASN1
