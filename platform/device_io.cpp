#include "platform/device_io.h"

#include <cstdlib>
#include <cstring>

#include "platform/sim/board.h"

namespace platform {
namespace {
bool& sim_selected() {
  static bool selected = [] {
    const char* env = std::getenv("KELVAD_BOARD");
    return env && std::strcmp(env, "sim") == 0;
  }();
  return selected;
}
}  // namespace

bool simulated_board() { return sim_selected(); }

void use_simulated_board() { sim_selected() = true; }

DeviceIo& devices() {
  if (sim_selected()) return sim::SimBoard::instance();
  return kernel_devices();
}

}  // namespace platform
