#pragma once
// Daemon mode: detach from the terminal and send the standard output
// streams to syslog (mode 0) or to hourly log files (mode 1).

#include <string>

class LogFileStreamBuf;

namespace Daemon {

struct Params {
  int mode = 0;     // 0 syslog, 1 log files, anything else leaves the streams alone
  int nochdir = 0;  // first argument of daemon()
  std::string name = "unknown";  // syslog identity, or the log files' directory
};

// Detaches and redirects the streams; lives until process exit.
class Sentry {
 public:
  explicit Sentry(const Params& params);
  ~Sentry();
  Sentry(const Sentry&) = delete;
  Sentry& operator=(const Sentry&) = delete;

 private:
  int mode_;
  LogFileStreamBuf* logFile_ = nullptr;
};

// Creates the one Sentry on the first call; later calls do nothing.
void Init(const Params& params);

}  // namespace Daemon
