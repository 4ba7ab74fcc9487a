// kelvad-board COMMAND...: sends one command to the simulated board of a
// running kelvad and prints the reply. The board's socket lives under the
// daemon's root: --root DIR, else $KELVAD_ROOT, else "/".
// Exit status: 0 for an "ok" reply, 1 for an "error" reply, 2 when the
// daemon cannot be reached.

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/paths.h"

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 2 && std::string(argv[1]) == "--root") {
    platform::set_root(argv[2]);
    first = 3;
  }
  if (first >= argc) {
    std::cerr << "usage: kelvad-board [--root DIR] COMMAND... (try: kelvad-board help)" << std::endl;
    return 2;
  }
  std::string line;
  for (int i = first; i < argc; ++i) line += (i > first ? " " : "") + std::string(argv[i]);
  line += '\n';

  std::string path = platform::resolve("/var/run/kelvad-board.sock");
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) {
    std::cerr << "kelvad-board: socket path too long: " << path << std::endl;
    return 2;
  }
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0) {
    std::cerr << "kelvad-board: cannot reach " << path << ": " << std::strerror(errno) << std::endl;
    return 2;
  }
  if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) != ssize_t(line.size())) {
    std::cerr << "kelvad-board: send failed: " << std::strerror(errno) << std::endl;
    return 2;
  }
  std::string reply;
  char c;
  while (::read(fd, &c, 1) == 1 && c != '\n') reply += c;
  ::close(fd);
  if (reply.empty()) {
    std::cerr << "kelvad-board: no reply" << std::endl;
    return 2;
  }
  std::cout << reply << std::endl;
  return reply.rfind("ok", 0) == 0 ? 0 : 1;
}
