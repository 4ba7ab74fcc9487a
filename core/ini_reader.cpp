#include "core/ini_reader.h"

namespace IniFile {
namespace Private {

bool parse_bool(const std::string& text, bool& out) {
  static const char* const yes[] = {"true", "yes", "enabled", "enable", "1"};
  static const char* const no[] = {"false", "no", "disabled", "disable", "0"};
  for (const char* word : yes) {
    if (text == word) {
      out = true;
      return true;
    }
  }
  for (const char* word : no) {
    if (text == word) {
      out = false;
      return true;
    }
  }
  return false;
}

bool parse_integer(const std::string& text, long long min, long long max, long long& out) {
  // A NUL inside the text would end strtoll early; such text is not a number.
  if (text.empty() || text.find('\0') != std::string::npos) return false;
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 0);
  if (*end != '\0' || errno == ERANGE || value < min || value > max) return false;
  out = value;
  return true;
}

}  // namespace Private

bool Reader::check(Private::KeyValue& key, SubSection& subsection, bool is_required) {
  const char* kind = is_required ? "required key \"" : "optional key \"";
  Key& values = subsection[key.name()];
  key.found = false;
  switch (values.count()) {
    case 0:
      if (!is_required) return true;
      out_ << name_ << kind << key.name() << "\"" << " not present, line " << subsection.line() << '\n';
      return false;
    case 1:
      if (key.do_parse(values[0].value())) {
        key.found = true;
        return true;
      }
      out_ << name_ << kind << key.name() << "\"" << " has invalid value=\"" << values[0].value() << "\","
           << " line " << values[0].line() << (is_required ? "" : ". Key will be ignored.") << '\n';
      return false;
    case 2:
      out_ << name_ << kind << key.name() << "\"" << " is duplicated!" << '\n'
           << name_ << " first occurence at " << values[0].line() << " line." << '\n'
           << name_ << " second occurence at " << values[1].line()
           << (is_required ? " line." : " line. Both keys will be ignored.") << '\n';
      return false;
    default:
      out_ << name_ << kind << key.name() << "\"" << " specified more than once:";
      for (const SubKey& value : values) out_ << " " << value.line();
      out_ << (is_required ? " lines" : " lines." " All keys will be ignored.") << '\n';
      return false;
  }
}

bool Reader::parse(SubSection& subsection) {
  for (auto& key : required.keys_)
    if (!check(*key, subsection, true)) return false;
  for (auto& key : optional.keys_) check(*key, subsection, false);
  return true;
}

}  // namespace IniFile
