#include "core/version.h"

Version::Version(Type type, int number, std::string label, std::string user, std::string date,
                 std::string tag, std::string arch)
    : type_(type), number_(number), label_(std::move(label)), user_(std::move(user)),
      date_(std::move(date)), tag_(std::move(tag)), arch_(std::move(arch)) {
  update();
}

const char* version_string(Version::Type type) {
  switch (type) {
    case Version::snapshot: return "snapshot";
    case Version::test: return "test";
    case Version::release: return "release";
    case Version::unit_test: return "unit-test";
  }
  return "unknown";
}

const char* version_suffix(Version::Type type) {
  switch (type) {
    case Version::snapshot: return "S";
    case Version::test:
    case Version::unit_test: return "T";
    case Version::release: return "R";
  }
  return "U";
}

std::ostream& operator<<(std::ostream& out, Version::Type type) { return out << version_string(type); }
