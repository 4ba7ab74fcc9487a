#pragma once
// Whole-daemon test harness: runs the built kelvad in its own temporary root
// on the simulated board, captures what it writes, and talks to the board.

#include <csignal>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

class Daemon {
 public:
  Daemon();   // makes the temporary root with var/run, var/log, usr/local/etc
  ~Daemon();  // kills a daemon still running, removes the root

  const std::string& root() const { return root_; }
  std::string path(const std::string& inside) const { return root_ + inside; }
  void write_file(const std::string& inside, const std::string& content) const;
  std::string read_file(const std::string& inside) const;  // "" when absent
  bool exists(const std::string& inside) const;

  // Starts kelvad with args; extra environment entries as "NAME=value".
  void start(const std::vector<std::string>& args, const std::vector<std::string>& env = {});
  // Runs kelvad to completion (bounded) and returns its exit status (-1 on timeout).
  int run_to_exit(const std::vector<std::string>& args, int timeout_ms = 20000);

  int pid() const { return pid_; }
  void signal(int sig) const;
  // Exit status of the started process, or -1 when it did not end in time.
  int wait_exit(int timeout_ms = 20000);

  // What the daemon wrote to its standard output and error.
  std::string out() const;
  std::string err() const;

  // Waits (bounded) until pred holds; polls every few milliseconds.
  static bool wait_until(const std::function<bool()>& pred, int timeout_ms = 20000);

  // One command on the board's control socket; the reply line ("" when the
  // socket cannot be reached).
  std::string board(const std::string& command) const;
  // Waits until the board's control socket answers.
  bool wait_ready(int timeout_ms = 20000) const;

 private:
  std::string base_;  // holds root/, stdout, stderr
  std::string root_;
  int pid_ = -1;
  bool exited_ = false;
  int status_ = 0;
};

}  // namespace e2e
