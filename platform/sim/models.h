#pragma once
// The drivers of the simulated board. Each lives in its own file; adding a
// driver means one new file and one line in register_models().

#include <memory>

#include "platform/sim/device_model.h"

namespace platform::sim {

class SimBoard;

std::unique_ptr<DeviceModel> make_watchdog();
std::unique_ptr<DeviceModel> make_hal();

// Called once when the board is built.
void register_models(SimBoard& board);

}  // namespace platform::sim
