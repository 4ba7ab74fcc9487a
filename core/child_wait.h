#pragma once
// Notification of a child process's end. SIGCHLD is turned into datagrams on
// a socket pair (the handler only reaps and writes), and the loop dispatches
// each {pid, status} record to the registration for that pid.

#include <cstddef>
#include <new>

#include "core/event.h"

class ChildWaitService;

class ChildWait {
 public:
  class Handler {
   public:
    virtual ~Handler() = default;
    virtual void Invoke(ChildWait& wait, int status) = 0;
  };
  template <class T>
  class THandler1 final : public Handler {
   public:
    typedef void (T::*Method)(int status);
    THandler1(T* object, Method method) : object_(object), method_(method) {}
    void Invoke(ChildWait&, int status) override { (object_->*method_)(status); }

   private:
    T* object_;
    Method method_;
  };
  class DummyHandler final : public Handler {
   public:
    void Invoke(ChildWait&, int) override {}
  };

  ChildWait();
  ChildWait(const ChildWait&) = delete;
  ChildWait& operator=(const ChildWait&) = delete;
  ~ChildWait();

  template <class T>
  void Bind(T* object, void (T::*method)(int)) {
    static_assert(sizeof(THandler1<T>) <= kStorage);
    destroy_handler();
    handler_ = new (storage_) THandler1<T>(object, method);
  }
  // Watches pid; re-attaching moves the registration to the end of the list.
  void Attach(int pid);
  void Detach();
  int pid() const { return pid_; }
  bool attached() const { return listed_; }

  // The SIGCHLD machinery: socket pair, watch, signal handler. Once, from main.
  static void Activate();
  // Use counter of the process-wide service (static initialisation).
  static void Initialize();
  static void Cleanup();

 private:
  friend class ChildWaitService;
  static constexpr size_t kStorage = 64;
  void destroy_handler();

  ChildWait* next_ = nullptr;
  ChildWait* prev_ = nullptr;
  bool listed_ = false;
  int pid_ = 0;
  alignas(std::max_align_t) unsigned char storage_[kStorage];
  Handler* handler_;
};

class ChildWaitService : public Event {
 public:
  static ChildWaitService* childWaitService;

  void Activate();
  void OnChildEvent(int fd, short revents);
  void Append(ChildWait* wait);
  void Remove(ChildWait* wait);
  bool active() const { return write_end_ >= 0; }

  ChildWaitService() = default;
  ~ChildWaitService() override;

 private:
  static void SigChldHandlerWrapper(int);
  static int write_end_;
  ChildWait* head_ = nullptr;
  ChildWait* tail_ = nullptr;
};

// Keeps the process-wide service alive from the first static user to the last.
static struct ChildWaitInitializer {
  ChildWaitInitializer() { ChildWait::Initialize(); }
  ~ChildWaitInitializer() { ChildWait::Cleanup(); }
} childWaitInitializer;
