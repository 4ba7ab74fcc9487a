#pragma once
// The pid file "/var/run/<name>.pid", removed again when the object goes.

#include <string>

namespace Linux {

class Run {
 public:
  explicit Run(const std::string& name);
  ~Run();
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  const std::string& path() const { return path_; }
  bool created() const { return fd_ >= 0; }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace Linux

// The id of a running process whose command name is name, or -1; pid, when
// positive, is tried first.
int find_proc_by_name(const std::string& name, int pid);
