#include "core/event.h"

#include "core/multiplexer.h"

EventHandler::~EventHandler() { mux_detach(); }

void EventHandler::mux_attach() {
  if (attached) return;
  attached = true;
  multiplexer.attach(this);
}

void EventHandler::mux_detach() {
  if (!attached) return;
  attached = false;
  multiplexer.detach(this);
}

void HandlerList::push_back(EventHandler* h) {
  h->list_ = this;
  h->next = nullptr;
  h->prev = tail_;
  if (tail_) tail_->next = h;
  else head_ = h;
  tail_ = h;
  ++count_;
}

void HandlerList::remove(EventHandler* h) {
  if (h->prev) h->prev->next = h->next;
  else head_ = h->next;
  if (h->next) h->next->prev = h->prev;
  else tail_ = h->prev;
  h->next = h->prev = nullptr;
  h->list_ = nullptr;
  --count_;
}

EventHandler* HandlerList::pop_front() {
  EventHandler* h = head_;
  if (h) remove(h);
  return h;
}

void HandlerList::splice_back(HandlerList& other) {
  while (EventHandler* h = other.pop_front()) push_back(h);
}

Event::~Event() {
  delete handler_;
  handler_ = nullptr;
  if (fd_.valid()) mux_detach();
  fd_.close();
}

void Event::Bind(Handler* handler) {
  if (handler_ != handler) delete handler_;
  handler_ = handler;
}

void Event::UnBind() {
  delete handler_;
  handler_ = nullptr;
}

void Event::Schedule(Fd fd, short events) {
  if (fd_.valid()) mux_detach();
  if (fd.get() != fd_.get()) fd_ = std::move(fd);
  events_ = events;
  if (fd_.valid()) mux_attach();
}

void Event::Release() {
  if (fd_.valid()) mux_detach();
  fd_.close();
}

void Event::shedule_event(pollfd& entry) {
  entry.fd = fd_.get();
  entry.events = events_;
}

void Event::svc_event(short revents) {
  if (revents & events_) ++hits_;
  if (handler_) handler_->Invoke(fd_.get(), revents);
}
