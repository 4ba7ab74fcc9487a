#include "daemon/status_dump.h"

#include <csignal>
#include <fstream>
#include <iostream>

#include "core/ipc_signal.h"
#include "core/multiplexer.h"
#include "core/version.h"
#include "platform/paths.h"

volatile bool doDumpStatus = false;
volatile bool updateResources = false;

namespace {
void SigPipeHandler(int) {}
void SigTermHandler(int) { multiplexer.terminate(); }
void SigUsr2Handler(int) { doDumpStatus = true; }
void SigHupHandler(int) { updateResources = true; }
}  // namespace

void InstallSignalHandlers() {
  IPC::Signal::handle(SIGPIPE, SigPipeHandler, SA_RESTART);
  IPC::Signal::handle(SIGTERM, SigTermHandler, 0);
  IPC::Signal::handle(SIGINT, SigTermHandler, 0);
  IPC::Signal::handle(SIGUSR2, SigUsr2Handler, SA_RESTART);
  IPC::Signal::handle(SIGHUP, SigHupHandler, SA_RESTART);
}

void CheckSignals() {
  CheckDumpStatus();
  CheckUpdateResources();
}

void CheckDumpStatus() {
  if (!doDumpStatus) return;
  doDumpStatus = false;
  std::ofstream file(platform::resolve("/var/log/server-status"), std::ios::out | std::ios::trunc);
  if (!file) {
    std::cerr << "dump status error" << std::endl;
    return;
  }
  file << "version : " << Version::current << '\n';
  multiplexer.dump(file);
}

void CheckUpdateResources() {
  if (!updateResources) return;
  updateResources = false;
  std::clog << "update hardware resources" << std::endl;
  // The slot manager refreshes the hardware resources report here.
}
