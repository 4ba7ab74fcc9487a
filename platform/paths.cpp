#include "platform/paths.h"

#include <cstdlib>

namespace platform {
namespace {

std::string normalised(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir.empty() ? std::string("/") : dir;
}

std::string& root_storage() {
  static std::string root = [] {
    const char* env = std::getenv("KELVAD_ROOT");
    return normalised(env ? env : "/");
  }();
  return root;
}

}  // namespace

const std::string& root() { return root_storage(); }

void set_root(std::string directory) { root_storage() = normalised(std::move(directory)); }

std::string resolve(std::string_view path) {
  const std::string& prefix = root();
  if (prefix == "/") return std::string(path);
  std::string out = prefix;
  if (path.empty() || path.front() != '/') out += '/';
  out += path;
  return out;
}

}  // namespace platform
