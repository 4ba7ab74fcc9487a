#pragma once
// A temporary root with a syslog receiver at <root>/dev/log; the daemon's
// path resolver points at the root while it lives.

#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/paths.h"
#include "tests/core/syslog_receiver.h"

class SyslogRoot : public SyslogReceiver {
 public:
  SyslogRoot() {
    char tmpl[] = "/tmp/kvd-syslog-XXXXXX";
    root_ = ::mkdtemp(tmpl);
    std::filesystem::create_directories(root_ + "/dev");
    saved_root_ = platform::root();
    platform::set_root(root_);
  }
  ~SyslogRoot() {
    Unbind();
    platform::set_root(saved_root_);
    std::filesystem::remove_all(root_);
  }
  const std::string& root() const { return root_; }
  void Bind(int type = SOCK_DGRAM) { SyslogReceiver::Bind(root_ + "/dev/log", type); }

 private:
  std::string root_, saved_root_;
};
