#pragma once
// Helpers for driving the global loop one pass at a time.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <iostream>
#include <sstream>
#include <unistd.h>

#include "core/event.h"
#include "core/multiplexer.h"

// A pipe whose read end is watched; write() makes it readable.
class TestPipe {
 public:
  TestPipe(const std::string& name) {
    int fds[2];
    EXPECT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
    write_end_ = Fd(fds[1]);
    read_end_ = Fd(fds[0]);
    event.Bind<TestPipe>(name, &TestPipe::OnEvent, this);
  }
  void Watch() { event.Schedule(read_end_, POLLIN); }
  void MakeReadable() { EXPECT_EQ(::write(write_end_, "x", 1), 1); }
  void Drain() {
    char buf[64];
    while (::read(event.fd(), buf, sizeof buf) > 0) {
    }
  }
  void OnEvent(int, short revents) {
    ++calls;
    last_revents = revents;
    if (on_event) on_event(revents);
  }

  Event event;
  int calls = 0;
  short last_revents = -1;
  std::function<void(short)> on_event;

 private:
  Fd read_end_;
  Fd write_end_;
};

// Captures what is written to a standard stream while it lives.
class StreamCapture {
 public:
  explicit StreamCapture(std::ostream& stream) : stream_(stream), saved_(stream.rdbuf(buffer_.rdbuf())) {}
  ~StreamCapture() { stream_.rdbuf(saved_); }
  std::string text() const { return buffer_.str(); }

 private:
  std::ostream& stream_;
  std::ostringstream buffer_;
  std::streambuf* saved_;
};
