#pragma once
// Moves bytes from one descriptor to another on the loop until the source
// ends, then (optionally) waits for flush events on the destination. The
// outcome is reported once to the bound handler.

#include <poll.h>

#include <cstddef>
#include <memory>

#include "core/event.h"
#include "core/fd.h"

namespace ASync {

class Copy {
 public:
  struct Status {
    enum Type { copying = 1, draining = 2, flushing = 3, failed = 4, completed = 5, reconfigured = 6 };
  };
  struct EventsParams {
    short read = POLLIN;
    short write = POLLOUT;
    short flush = POLLWRNORM;
  };
  class Handler {
   public:
    virtual ~Handler() = default;
    virtual void Invoke(Status::Type status) = 0;
  };
  template <class T>
  class THandler final : public Handler {
   public:
    typedef void (T::*Action)(Status::Type);
    THandler(Action action, T* object) : action_(action), object_(object) {}
    void Invoke(Status::Type status) override { (object_->*action_)(status); }

   private:
    Action action_;
    T* object_;
  };

  Copy() = default;
  Copy(const Copy&) = delete;
  Copy& operator=(const Copy&) = delete;
  ~Copy() { UnBind(); }

  void Bind(Handler* handler);
  template <class T>
  void Bind(typename THandler<T>::Action action, T* object) {
    Bind(new THandler<T>(action, object));
  }
  void UnBind();

  void Start(Fd source, Fd destination);
  // Ends the source as if it had reached its end; the block in hand is still written.
  void Stop();
  void set_events(const EventsParams& params);
  void set_bufsize(size_t size);

  Status::Type status() const { return status_; }
  // The errno of a failed write, else 0.
  int error() const { return error_; }
  size_t written() const { return written_; }

  void OnSrcEvent(int fd, short revents);
  void OnDstEvent(int fd, short revents);

 private:
  enum class Step { read, write, nothing };
  bool running() const {
    return status_ == Status::copying || status_ == Status::draining || status_ == Status::flushing;
  }
  void Progress();
  bool ReadStep();
  bool WriteStep();
  void FinishSource();
  void Flush();
  void Complete(Status::Type status);

  Fd source_;
  Fd destination_;
  EventsParams params_;
  size_t bufsize_ = 1024;
  int error_ = 0;
  Step step_ = Step::nothing;
  Handler* handler_ = nullptr;
  Event src_event_;
  Event dst_event_;
  size_t written_ = 0;
  size_t block_start_ = 0;
  size_t block_end_ = 0;
  Status::Type status_ = Status::completed;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace ASync
