#pragma once
// Stream buffers that turn each line written to a standard stream into one
// syslog message. The plain variant uses the C library's syslog(); the
// managed one goes through syslogManager, so every line of one flush leaves
// in a single datagram.

#include <streambuf>
#include <vector>

class SysLogStreamBuf : public std::streambuf {
 public:
  // facility as passed (e.g. LOG_DAEMON) combined with priority (e.g. LOG_ERR).
  SysLogStreamBuf(int facility, int priority);
  ~SysLogStreamBuf() override;
  SysLogStreamBuf(const SysLogStreamBuf&) = delete;
  SysLogStreamBuf& operator=(const SysLogStreamBuf&) = delete;

  int priority() const { return priority_; }
  size_t capacity() const { return area_.size() - 1; }

 protected:
  SysLogStreamBuf(int facility, int priority, size_t area);
  int overflow(int c) override;
  int sync() override;
  // One message; called for every line of a flush, then flushed() once.
  virtual void send(const char* line);
  virtual void flushed() {}

 private:
  int priority_;
  std::vector<char> area_;  // one byte more than the put area, for the zero
};

class ManagedSysLogStreamBuf : public SysLogStreamBuf {
 public:
  ManagedSysLogStreamBuf(int facility, int priority);
  ~ManagedSysLogStreamBuf() override;

 protected:
  void send(const char* line) override;
  void flushed() override;
};
