#pragma once
// An extension point of the loop: an object that needs service after a
// number of milliseconds it chooses. Nothing in the daemon hooks one.

class TimerPoolPlugin {
 public:
  virtual ~TimerPoolPlugin();
  // Milliseconds until the next service, negative for none.
  virtual int timer_wait() = 0;
  void timerHook();
  void timerUnhook();

 private:
  bool hooked_ = false;
};
