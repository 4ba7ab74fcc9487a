#pragma once
// Base of everything the multiplexer polls.

#include <poll.h>

class Multiplexer;

class EventHandler {
 public:
  EventHandler() = default;
  EventHandler(const EventHandler&) = delete;
  EventHandler& operator=(const EventHandler&) = delete;
  virtual ~EventHandler();

  // Fill in the descriptor and the requested events.
  virtual void shedule_event(pollfd& entry) = 0;
  // Handle the poll result; called after every poll that reported anything.
  virtual void svc_event(short revents) = 0;
  virtual const char* event_name() const { return "unknown"; }
  virtual bool is_named() const { return false; }

  void svc_event() { svc_event(revents); }
  void mux_attach();
  void mux_detach();
  bool is_attached() const { return attached; }

 protected:
  friend class Multiplexer;
  friend class HandlerList;
  EventHandler* next = nullptr;
  EventHandler* prev = nullptr;
  bool attached = false;
  short revents = 0;

 private:
  class HandlerList* list_ = nullptr;  // which of the multiplexer's lists holds it
  int poll_index_ = -1;                // its pollfd entry in the current pass
};

// An intrusive list of handlers; a handler is in at most one.
class HandlerList {
 public:
  constexpr HandlerList() = default;
  bool empty() const { return head_ == nullptr; }
  EventHandler* head() const { return head_; }
  unsigned size() const { return count_; }
  void push_back(EventHandler* h);
  void remove(EventHandler* h);
  EventHandler* pop_front();
  // Moves all of other's handlers to the end of this list.
  void splice_back(HandlerList& other);

 private:
  EventHandler* head_ = nullptr;
  EventHandler* tail_ = nullptr;
  unsigned count_ = 0;
};
