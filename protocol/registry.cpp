#include "protocol/registry.h"

#include <algorithm>

namespace protocol {

const TypeEntry* findType(std::string_view qualified) {
  std::string_view module, name;
  if (const auto colons = qualified.find("::"); colons != std::string_view::npos) {
    module = qualified.substr(0, colons);
    name = qualified.substr(colons + 2);
  } else if (const auto dot = qualified.find('.'); dot != std::string_view::npos) {
    module = qualified.substr(0, dot);
    name = qualified.substr(dot + 1);
  } else {
    return nullptr;
  }
  const auto types = allTypes();
  const auto it = std::lower_bound(types.begin(), types.end(), std::pair(module, name),
                                   [](const TypeEntry& e, const auto& key) {
                                     return std::pair(e.module, e.name) < key;
                                   });
  if (it == types.end() || it->module != module || it->name != name) return nullptr;
  return &*it;
}

} // namespace protocol
