// kelvad: the media-gateway daemon. main wires the subsystems together in a
// fixed order, runs the event loop until SIGTERM or SIGINT, and tears down in
// reverse.

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "core/child_wait.h"
#include "core/daemon_mode.h"
#include "core/dpc.h"
#include "core/ini_file.h"
#include "core/linux_run.h"
#include "core/multiplexer.h"
#include "core/trace_ctl.h"
#include "core/version.h"
#include "daemon/board_control.h"
#include "daemon/options.h"
#include "daemon/status_dump.h"
#include "platform/device_io.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "protocol/ctrl/ctrl_server.h"
#include "protocol/ctrl/heartbeat.h"
#include "slots/hw_mux.h"
#include "transport/acceptor_net.h"

namespace {

const char configFile[] = "/usr/local/etc/server.conf";
const char cfgTraces[] = "traces";

void RunDaemon() {
  Daemon::Params params;
  params.name = "kvd-" + Version::current.tag();
  Daemon::Init(params);
}

}  // namespace

int main(int argc, char** argv) {
  auto file = std::make_unique<IniFile::File>();
  if (file->Open(platform::resolve(configFile))) {
    traces.reset();
    traces.Configure((*file)[cfgTraces]);
  }
  InstallSignalHandlers();

  Options options;
  switch (ParseOptions(argc, argv, options, std::cout)) {
    case OptionsOutcome::run: break;
    case OptionsOutcome::exit_help: return 0;
    case OptionsOutcome::exit_version:
    case OptionsOutcome::exit_usage: return 2;
  }

  // The slot factories are created here, then the TDM switch access.
  HwMux::instance();
  // MonitoringCtl::instance()->Configure(*file) belongs here once it exists.

  if (options.daemon) RunDaemon();
  auto run = std::make_unique<Linux::Run>("server");
  std::cout << "Starting server [" << Version::current << "], port=" << options.port << std::endl;

  // Every command is offered to the services in this order.
  ctrlServer.Bind(HeartBeatCtl::instance());
  // Slots::instance() is bound here.
  // HwTests::instance() is bound here.
  // BusCtl::instance() is bound here.
  // E1Ctl::instance() is bound here.
  // spiCtrl::instance() is bound here.
  // MonitoringCtl::instance() is bound here.

  ChildWait::Activate();
  Dpc checkSignals(new DpcHandler1(&CheckSignals));
  checkSignals.Activate();

  std::unique_ptr<BoardControl> board;
  if (platform::simulated_board()) {
    board = std::make_unique<BoardControl>();
    board->Activate();
  }

  ctrlServer.Activate(new Control::AcceptorNetCheckConnection(int(options.port)));

  multiplexer.run(true, true);

  ctrlServer.Deactivate();
  board.reset();
  checkSignals.Deactivate();
  run.reset();
  file.reset();
  return 0;
}
