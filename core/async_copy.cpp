#include "core/async_copy.h"

#include <unistd.h>

#include <cerrno>

namespace ASync {

void Copy::Bind(Handler* handler) {
  if (handler_ != handler) delete handler_;
  handler_ = handler;
}

void Copy::UnBind() {
  delete handler_;
  handler_ = nullptr;
}

void Copy::Start(Fd source, Fd destination) {
  status_ = Status::copying;
  source_ = std::move(source);
  destination_ = std::move(destination);
  src_event_.Release();
  dst_event_.Release();
  src_event_.Bind<Copy>("Copy::OnSrcEvent", &Copy::OnSrcEvent, this);
  dst_event_.Bind<Copy>("Copy::OnDstEvent", &Copy::OnDstEvent, this);
  if (!buffer_) buffer_.reset(new char[bufsize_]);
  src_event_.Schedule(source_, 0);
  dst_event_.Schedule(destination_, 0);
  written_ = 0;
  block_start_ = block_end_ = 0;
  error_ = 0;
  step_ = Step::read;
  Progress();
}

void Copy::Stop() {
  if (status_ != Status::copying) return;
  FinishSource();
}

void Copy::set_events(const EventsParams& params) {
  params_ = params;
  if (running()) Complete(Status::reconfigured);
}

void Copy::set_bufsize(size_t size) {
  if (size == 0) size = 1;
  bufsize_ = size;
  buffer_.reset(new char[size]);
  if (running()) Complete(Status::reconfigured);
}

void Copy::Progress() {
  for (;;) {
    bool more = false;
    switch (step_) {
      case Step::read: more = ReadStep(); break;
      case Step::write: more = WriteStep(); break;
      case Step::nothing: break;
    }
    if (!more) return;
  }
}

bool Copy::ReadStep() {
  errno = 0;
  ssize_t n = ::read(source_, buffer_.get(), bufsize_);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
    src_event_.SetEvents(params_.read);
    dst_event_.SetEvents(0);
    return false;
  }
  if (n < 0 && written_ == 0) {
    Complete(Status::failed);
    return false;
  }
  if (n <= 0) {
    // End of file, or an error once data has flowed: the source is done.
    FinishSource();
    return false;
  }
  block_start_ = 0;
  block_end_ = size_t(n);
  step_ = Step::write;
  src_event_.SetEvents(0);
  dst_event_.SetEvents(params_.write);
  return true;
}

bool Copy::WriteStep() {
  ssize_t n = ::write(destination_, buffer_.get() + block_start_, block_end_ - block_start_);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
    src_event_.SetEvents(0);
    dst_event_.SetEvents(params_.write);
    return false;
  }
  if (n < 0) {
    error_ = errno;
    Complete(Status::failed);
    return false;
  }
  if (n == 0) {
    error_ = 0;
    Complete(Status::failed);
    return false;
  }
  written_ += size_t(n);
  block_start_ += size_t(n);
  if (block_start_ < block_end_) return true;
  if (status_ == Status::draining) {
    Flush();
    return false;
  }
  step_ = Step::read;
  src_event_.SetEvents(params_.read);
  return true;
}

void Copy::FinishSource() {
  src_event_.Release();
  source_.close();
  if (step_ == Step::write && block_start_ < block_end_) {
    status_ = Status::draining;
    return;
  }
  Flush();
}

void Copy::Flush() {
  if (params_.flush == 0) {
    Complete(Status::completed);
    return;
  }
  dst_event_.SetEvents(params_.flush);
  step_ = Step::nothing;
  status_ = Status::flushing;
}

void Copy::OnSrcEvent(int, short revents) {
  if (revents & params_.read) {
    Progress();
  } else if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
    src_event_.Release();
    Progress();
  }
}

void Copy::OnDstEvent(int, short revents) {
  if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
    error_ = 0;
    Complete(Status::failed);
  } else if ((status_ == Status::copying || status_ == Status::draining) && (revents & params_.write)) {
    Progress();
  } else if (status_ == Status::flushing && (revents & params_.flush)) {
    Complete(Status::completed);
  }
}

void Copy::Complete(Status::Type status) {
  // A copy that is still writing its last block must be able to fail too,
  // or its owner would never hear of it.
  if (!running()) return;
  src_event_.UnBind();
  dst_event_.UnBind();
  status_ = status;
  src_event_.Release();
  dst_event_.Release();
  source_.close();
  destination_.close();
  step_ = Step::nothing;
  if (handler_) handler_->Invoke(status);
}

}  // namespace ASync
