#pragma once
// A syslog receiver for tests: a Unix socket bound at a given path that
// hands out datagrams and their zero-terminated messages.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

class SyslogReceiver {
 public:
  SyslogReceiver() = default;
  SyslogReceiver(const SyslogReceiver&) = delete;
  SyslogReceiver& operator=(const SyslogReceiver&) = delete;
  ~SyslogReceiver() { Unbind(); }

  // Binds at path; SOCK_STREAM makes it listen.
  void Bind(const std::string& path, int type = SOCK_DGRAM) {
    path_ = path;
    fd_ = ::socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd_, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0) << std::strerror(errno);
    if (type == SOCK_STREAM) {
      ASSERT_EQ(::listen(fd_, 4), 0);
    }
  }
  void Unbind() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(path_.c_str());
  }
  int fd() const { return fd_; }

  // The next datagram (waiting at most timeout_ms), or nothing.
  bool Receive(std::string& datagram, int timeout_ms = 5000) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, timeout_ms) != 1) return false;
    std::vector<char> buffer(70000);
    ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
    if (n < 0) return false;
    datagram.assign(buffer.data(), size_t(n));
    return true;
  }
  // True when no datagram is waiting (for sends that are synchronous).
  bool Quiet() {
    std::string ignored;
    return !Receive(ignored, 0);
  }

  // The zero-terminated messages of one datagram.
  static std::vector<std::string> Messages(const std::string& datagram) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < datagram.size()) {
      size_t zero = datagram.find('\0', start);
      if (zero == std::string::npos) {
        out.push_back(datagram.substr(start) + "<missing zero byte>");
        break;
      }
      out.push_back(datagram.substr(start, zero - start));
      start = zero + 1;
    }
    return out;
  }

 private:
  std::string path_;
  int fd_ = -1;
};
