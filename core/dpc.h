#pragma once
// A deferred call: runs on every pass of the loop while it is active (twice
// per pass: after the due timers and again just before poll()). A one-time
// action deactivates itself in its callback.

class DpcHandler {
 public:
  virtual ~DpcHandler() = default;
  virtual void Invoke() = 0;
};

class DpcHandler1 final : public DpcHandler {
 public:
  typedef void (*Function)();
  explicit DpcHandler1(Function f) : function_(f) {}
  void Invoke() override { function_(); }

 private:
  Function function_;
};

template <class T>
class TDpcHandler final : public DpcHandler {
 public:
  typedef void (T::*Method)();
  TDpcHandler(T* object, Method method) : object_(object), method_(method) {}
  void Invoke() override { (object_->*method_)(); }

 private:
  T* object_;
  Method method_;
};

class Dpc {
 public:
  Dpc() = default;
  explicit Dpc(DpcHandler* handler) : handler_(handler) {}
  Dpc(const Dpc&) = delete;
  Dpc& operator=(const Dpc&) = delete;
  ~Dpc();

  void Bind(DpcHandler* handler);
  template <class T>
  void Bind(T* object, void (T::*method)()) {
    Bind(new TDpcHandler<T>(object, method));
  }
  void Activate();
  void Deactivate();
  bool active() const { return active_; }
  DpcHandler* handler() const { return handler_; }

 private:
  DpcHandler* handler_ = nullptr;
  bool active_ = false;
};
