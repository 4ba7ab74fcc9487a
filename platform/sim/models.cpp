#include "platform/sim/models.h"

#include "platform/sim/board.h"

namespace platform::sim {

void register_models(SimBoard& board) {
  board.add(make_watchdog());
  board.add(make_hal());
}

}  // namespace platform::sim
