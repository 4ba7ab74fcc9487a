#pragma once
// A TCP connect with a time limit that runs on the loop without blocking it.
// The outcome is reported once to the bound handler, which then owns the socket.

#include <string>

#include "core/event.h"
#include "core/fd.h"
#include "core/timer.h"

namespace ASync {

class Connect {
 public:
  struct Status {
    enum Type { idle = 0, connecting = 1, failed = 2, connected = 3, stopped = 4 };
  };
  class Handler {
   public:
    virtual ~Handler() = default;
    virtual void Invoke(Status::Type status, Fd socket) = 0;
  };
  template <class T>
  class THandler final : public Handler {
   public:
    typedef void (T::*Action)(Status::Type, Fd);
    THandler(Action action, T* object) : action_(action), object_(object) {}
    void Invoke(Status::Type status, Fd socket) override { (object_->*action_)(status, std::move(socket)); }

   private:
    Action action_;
    T* object_;
  };

  Connect() = default;
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;
  ~Connect() { UnBind(); }

  void Bind(Handler* handler);
  template <class T>
  void Bind(typename THandler<T>::Action action, T* object) {
    Bind(new THandler<T>(action, object));
  }
  void UnBind();

  // Connects to "A.B.C.D:PORT", giving up after ms milliseconds.
  void Start(const std::string& address, unsigned ms);
  void Stop() { Complete(Status::stopped); }
  Status::Type status() const { return status_; }

  void OnSocketEvent(int fd, short revents);
  void OnTimeOut(Timer*);

 private:
  void Complete(Status::Type status);

  Status::Type status_ = Status::idle;
  Fd socket_;
  Event event_;
  Handler* handler_ = nullptr;
  Timer timer_;
};

}  // namespace ASync
