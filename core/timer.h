#pragma once
// One-shot timers in milliseconds. A Timer owns at most one pending
// TimerEvent; arming it again replaces (cancels) the pending one, destroying
// it cancels it. A periodic timer is a callback that re-arms its own Timer.

#include <cstdint>

class Multiplexer;
class Timer;

class TimerEvent {
 public:
  TimerEvent() = default;
  TimerEvent(const TimerEvent&) = delete;
  TimerEvent& operator=(const TimerEvent&) = delete;
  virtual ~TimerEvent();
  virtual void fire() = 0;

  // Deadline = now + ms; (re)inserted into the multiplexer's list.
  void schedule(uint32_t ms);
  void reset();
  int32_t compare(const TimerEvent& other) const { return int32_t(deadline - other.deadline); }
  uint32_t get_deadline() const { return deadline; }
  bool listed() const { return listed_; }

 private:
  friend class Multiplexer;
  TimerEvent* next = nullptr;
  TimerEvent* prev = nullptr;
  uint32_t deadline = 0;
  bool listed_ = false;
};

template <class T>
class ObjTimerEvent1;
template <class T>
class ObjTimerEvent2;

class Timer {
 public:
  Timer() = default;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer() { reset(); }

  TimerEvent* get() const { return event_; }
  // Destroys (cancels) the pending timer.
  void reset(TimerEvent* replacement = nullptr) {
    TimerEvent* old = event_;
    event_ = replacement;
    delete old;
  }
  TimerEvent* release() {
    TimerEvent* e = event_;
    event_ = nullptr;
    return e;
  }

  template <class T>
  void set(unsigned ms, void (T::*method)(Timer*), T* object) {
    reset(new ObjTimerEvent2<T>(this, ms, method, object));
  }
  template <class T>
  void set(unsigned ms, void (T::*method)(), T* object) {
    reset(new ObjTimerEvent1<T>(this, ms, method, object));
  }

 private:
  TimerEvent* event_ = nullptr;
};

template <class T>
class ObjTimerEvent1 final : public TimerEvent {
 public:
  typedef void (T::*Method)();
  ObjTimerEvent1(Timer* owner, unsigned ms, Method method, T* object)
      : owner_(owner), method_(method), object_(object) {
    schedule(ms);
  }
  void fire() override {
    Timer* owner = owner_;
    if (owner->get() == this) owner->release();
    (object_->*method_)();
    delete this;
  }

 private:
  Timer* owner_;
  Method method_;
  T* object_;
};

template <class T>
class ObjTimerEvent2 final : public TimerEvent {
 public:
  typedef void (T::*Method)(Timer*);
  ObjTimerEvent2(Timer* owner, unsigned ms, Method method, T* object)
      : owner_(owner), method_(method), object_(object) {
    schedule(ms);
  }
  void fire() override {
    Timer* owner = owner_;
    if (owner->get() == this) owner->release();
    (object_->*method_)(owner);
    delete this;
  }

 private:
  Timer* owner_;
  Method method_;
  T* object_;
};

// The same for a plain function.
class SimpleTimerEvent1 final : public TimerEvent {
 public:
  typedef void (*Function)();
  SimpleTimerEvent1(Timer* owner, unsigned ms, Function function) : owner_(owner), function_(function) {
    schedule(ms);
  }
  void fire() override {
    if (owner_ && owner_->get() == this) owner_->release();
    function_();
    delete this;
  }

 private:
  Timer* owner_;
  Function function_;
};

// Arms a Timer from a static descriptor of the owning class: the method and
// the delay in milliseconds.
template <class T>
struct TimerSpec {
  void (T::*method)();
  unsigned delay;

  template <const TimerSpec& spec>
  struct SpecTimer {
    Timer timer;
    void set(T* object) { timer.set(spec.delay, spec.method, object); }
    void reset() { timer.reset(); }
    TimerEvent* get() const { return timer.get(); }
  };
};
