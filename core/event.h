#pragma once
// A watched descriptor with a member-function callback.

#include <string>

#include "core/event_handler.h"
#include "core/fd.h"
#include "core/measure.h"

class Event : public EventHandler {
 public:
  class Handler {
   public:
    virtual ~Handler() = default;
    virtual void Invoke(int fd, short revents) = 0;
  };
  template <class T>
  class THandler final : public Handler {
   public:
    typedef void (T::*Action)(int fd, short revents);
    THandler(Action action, T* object) : action_(action), object_(object) {}
    void Invoke(int fd, short revents) override { (object_->*action_)(fd, revents); }

   private:
    Action action_;
    T* object_;
  };

  Event() = default;
  ~Event() override;

  // Takes the handler, destroying the one bound before.
  void Bind(Handler* handler);
  template <class T>
  void Bind(const std::string& name, typename THandler<T>::Action action, T* object) {
    name_ = name;
    Bind(new THandler<T>(action, object));
  }
  void UnBind();

  // Watches fd (a duplicate, unless it is this event's own) for events.
  void Schedule(Fd fd, short events);
  // Stops watching and closes the descriptor.
  void Release();

  void SetEvents(short events) { events_ = events; }
  short events() const { return events_; }
  const Fd& fd() const { return fd_; }
  bool bound() const { return handler_ != nullptr; }
  unsigned hits() const { return hits_; }
  const std::string& name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  const Measure& measure() const { return measure_; }

  void shedule_event(pollfd& entry) override;
  void svc_event(short revents) override;
  using EventHandler::svc_event;
  const char* event_name() const override { return name_.c_str(); }
  bool is_named() const override { return true; }

 private:
  Handler* handler_ = nullptr;
  Fd fd_;
  short events_ = 0;
  std::string name_ = "Unknown";
  unsigned hits_ = 0;
  Measure measure_;
};
