#include "core/daemon_mode.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <syslog.h>
#include <unistd.h>

#include "core/log_file_streambuf.h"
#include "core/syslog_manager.h"
#include "core/syslog_streambuf.h"
#include "platform/process.h"

namespace Daemon {
namespace {

// syslogManager keeps its own copy; this is the identity as the daemon set it.
char identity[80];

// Never destroyed: the streams may write through them until the very end.
ManagedSysLogStreamBuf* outBuf = nullptr;
ManagedSysLogStreamBuf* errBuf = nullptr;
ManagedSysLogStreamBuf* logBuf = nullptr;

std::streambuf* savedOut = nullptr;
std::streambuf* savedErr = nullptr;
std::streambuf* savedLog = nullptr;

void RedirectToSyslog(const std::string& name) {
  std::snprintf(identity, sizeof identity, "%s", name.c_str());
  syslogManager.openlog(identity, LOG_NDELAY, 0);
  if (!outBuf) {
    outBuf = new ManagedSysLogStreamBuf(LOG_DAEMON, LOG_NOTICE);
    errBuf = new ManagedSysLogStreamBuf(LOG_DAEMON, LOG_ERR);
    logBuf = new ManagedSysLogStreamBuf(LOG_DAEMON, LOG_DEBUG);
  }
  std::cout.rdbuf(outBuf);
  std::cerr.rdbuf(errBuf);
  std::clog.rdbuf(logBuf);
  std::cin.tie(&std::cout);
  // Raw writes to descriptors 1 and 2 then reach syslog too.
  int fd = syslogManager.fd();
  if (fd > 0) {
    ::dup2(fd, 1);
    ::dup2(fd, 2);
  }
}

}  // namespace

Sentry::Sentry(const Params& params) : mode_(params.mode) {
  if (platform::daemonize(params.nochdir) < 0) {
    std::cerr << "daemon() fail!" << std::endl;
    std::exit(2);
  }
  if (mode_ == 0) {
    RedirectToSyslog(params.name);
  } else if (mode_ == 1) {
    logFile_ = new LogFileStreamBuf(params.name);
    savedOut = std::cout.rdbuf(logFile_);
    savedErr = std::cerr.rdbuf(logFile_);
    savedLog = std::clog.rdbuf(logFile_);
  }
}

Sentry::~Sentry() {
  if (!logFile_) return;
  // Back to the buffers of before, so late writes at exit stay harmless.
  std::cout.flush();
  std::cout.rdbuf(savedOut);
  std::cerr.rdbuf(savedErr);
  std::clog.rdbuf(savedLog);
  delete logFile_;
}

void Init(const Params& params) { static Sentry sentry(params); }

}  // namespace Daemon
