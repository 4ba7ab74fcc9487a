#pragma once
// Owner of one file descriptor. Copying duplicates the descriptor (marked
// close-on-exec); functions take Fd by value, so a callee holds its own copy.


bool NonBlockMode(int fd);
bool BlockMode(int fd);
bool SetCloexec(int fd, bool on);

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd& other) : fd_(other.dup()) {}
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd& operator=(const Fd& other);
  Fd& operator=(Fd&& other) noexcept;
  ~Fd();

  int get() const { return fd_; }
  operator int() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

  // A close-on-exec duplicate, or -1 (also for an empty Fd).
  int dup() const;
  // Closes and empties; on an empty Fd sets errno to EBADF and returns -1.
  int close();
  // Gives the descriptor up without closing it.
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  bool NonBlock() const { return valid() && NonBlockMode(fd_); }

 private:
  int fd_ = -1;
};
