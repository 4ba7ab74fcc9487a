#include "core/linux_run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "platform/paths.h"

namespace Linux {

Run::Run(const std::string& name) : path_(platform::resolve("/var/run/" + name + ".pid")) {
  fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_SYNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return;
  std::string pid = std::to_string(::getpid());
  if (::write(fd_, pid.data(), pid.size()) < 0) {
    // Nothing is reported: a pid file is a convenience.
  }
  ::fsync(fd_);
}

Run::~Run() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(path_.c_str());
}

}  // namespace Linux

namespace {

bool process_has_name(int pid, const std::string& name) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
  int fd = ::open(platform::resolve(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char text[256];
  ssize_t n = ::read(fd, text, 255);
  ::close(fd);
  if (n <= 0) return false;
  std::string stat(text, size_t(n));
  size_t open = stat.find('(');
  size_t close = stat.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return false;
  return stat.compare(open + 1, close - open - 1, name) == 0;
}

}  // namespace

int find_proc_by_name(const std::string& name, int pid) {
  if (pid > 0 && process_has_name(pid, name)) return pid;
  DIR* dir = ::opendir(platform::resolve("/proc").c_str());
  if (!dir) return -1;
  int found = -1;
  while (dirent* entry = ::readdir(dir)) {
    int candidate = std::atoi(entry->d_name);
    if (candidate > 0 && process_has_name(candidate, name)) {
      found = candidate;
      break;
    }
  }
  ::closedir(dir);
  return found;
}
