#pragma once
// The record that identifies this build; every place that prints the version
// prints its build tag (for example "S251211-1330").

#include <ostream>
#include <string>

class Version {
 public:
  enum Type { snapshot = 0, test = 1, release = 2, unit_test = 3 };

  Version(Type type, int number, std::string label, std::string user, std::string date,
          std::string tag, std::string arch);

  static const Version current;

  void put(std::ostream& out) const { out << tag_; }
  void update() {}

  Type type() const { return type_; }
  int number() const { return number_; }
  const std::string& label() const { return label_; }
  const std::string& user() const { return user_; }
  const std::string& date() const { return date_; }
  const std::string& tag() const { return tag_; }
  const std::string& arch() const { return arch_; }

 private:
  Type type_;
  int number_;
  std::string label_, user_, date_, tag_, arch_;
};

const char* version_string(Version::Type type);
// "S" snapshot, "T" test and unit-test, "R" release, "U" otherwise.
const char* version_suffix(Version::Type type);
std::ostream& operator<<(std::ostream& out, Version::Type type);
inline std::ostream& operator<<(std::ostream& out, const Version& v) {
  v.put(out);
  return out;
}
