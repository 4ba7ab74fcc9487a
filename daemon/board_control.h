#pragma once
// The simulated board's control socket, "/var/run/kelvad-board.sock" under
// the root: a Unix stream socket served by the daemon's own loop. Each line
// received is one board command; each gets one reply line.

#include <list>
#include <memory>
#include <string>

#include "core/dpc.h"
#include "core/event.h"

class BoardControl {
 public:
  static constexpr const char* kPath = "/var/run/kelvad-board.sock";
  static constexpr size_t kMaxLine = 4096;

  BoardControl() = default;
  ~BoardControl();
  // Binds the socket and starts serving; false (with a message) on failure.
  bool Activate();
  const std::string& path() const { return path_; }

 private:
  struct Connection {
    BoardControl* owner;
    Event event;
    std::string input;
    std::string output;
    void OnEvent(int fd, short revents);
  };
  void OnAccept(int fd, short revents);
  void Collect();

  std::string path_;
  Event listener_;
  std::list<std::unique_ptr<Connection>> connections_;
  Dpc collector_;
};
