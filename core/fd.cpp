#include "core/fd.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool NonBlockMode(int fd) {
  int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool BlockMode(int fd) {
  int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

bool SetCloexec(int fd, bool on) {
  int flags = ::fcntl(fd, F_GETFD);
  if (flags < 0) return false;
  flags = on ? (flags | FD_CLOEXEC) : (flags & ~FD_CLOEXEC);
  return ::fcntl(fd, F_SETFD, flags) == 0;
}

Fd& Fd::operator=(const Fd& other) {
  if (this != &other) {
    int copy = other.dup();
    if (fd_ >= 0) ::close(fd_);
    fd_ = copy;
  }
  return *this;
}

Fd& Fd::operator=(Fd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

Fd::~Fd() {
  if (fd_ >= 0) ::close(fd_);
}

int Fd::dup() const {
  if (fd_ < 0) return -1;
  return ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
}

int Fd::close() {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  int rc = ::close(fd_);
  fd_ = -1;
  return rc;
}
