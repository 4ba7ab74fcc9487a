#include "core/child_wait.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/ipc_signal.h"

ChildWaitService* ChildWaitService::childWaitService = nullptr;
int ChildWaitService::write_end_ = -1;

namespace {
unsigned use_count = 0;
alignas(ChildWaitService) unsigned char service_storage[sizeof(ChildWaitService)];
}  // namespace

void ChildWait::Initialize() {
  if (use_count++ == 0) ChildWaitService::childWaitService = new (service_storage) ChildWaitService;
}

void ChildWait::Cleanup() {
  if (--use_count == 0) {
    ChildWaitService::childWaitService->~ChildWaitService();
    ChildWaitService::childWaitService = nullptr;
  }
}

ChildWait::ChildWait() { handler_ = new (storage_) DummyHandler; }

ChildWait::~ChildWait() {
  destroy_handler();
  Detach();
}

void ChildWait::destroy_handler() {
  if (handler_) handler_->~Handler();
  handler_ = nullptr;
}

void ChildWait::Attach(int pid) {
  pid_ = pid;
  ChildWaitService* service = ChildWaitService::childWaitService;
  if (!service) return;
  if (listed_) service->Remove(this);
  service->Append(this);
}

void ChildWait::Detach() {
  if (listed_ && ChildWaitService::childWaitService) ChildWaitService::childWaitService->Remove(this);
}

void ChildWait::Activate() {
  if (ChildWaitService::childWaitService) ChildWaitService::childWaitService->Activate();
}

void ChildWaitService::Append(ChildWait* w) {
  w->prev_ = tail_;
  w->next_ = nullptr;
  if (tail_) tail_->next_ = w;
  else head_ = w;
  tail_ = w;
  w->listed_ = true;
}

void ChildWaitService::Remove(ChildWait* w) {
  if (!w->listed_) return;
  if (w->prev_) w->prev_->next_ = w->next_;
  else head_ = w->next_;
  if (w->next_) w->next_->prev_ = w->prev_;
  else tail_ = w->prev_;
  w->next_ = w->prev_ = nullptr;
  w->listed_ = false;
}

ChildWaitService::~ChildWaitService() {
  for (ChildWait* w = head_; w;) {
    ChildWait* next = w->next_;
    w->next_ = w->prev_ = nullptr;
    w->listed_ = false;
    w = next;
  }
  if (write_end_ >= 0) {
    IPC::Signal::system(SIGCHLD);
    ::close(write_end_);
    write_end_ = -1;
  }
}

void ChildWaitService::Activate() {
  if (write_end_ >= 0) return;
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, pair) < 0) {
    std::cerr << "ChildWaitService: initialize fails" << std::endl;
    return;
  }
  write_end_ = pair[0];
  NonBlockMode(pair[1]);
  Bind<ChildWaitService>("ChildWaitService::OnChildEvent", &ChildWaitService::OnChildEvent, this);
  Schedule(Fd(pair[1]), POLLIN);
  IPC::Signal::handle(SIGCHLD, &ChildWaitService::SigChldHandlerWrapper, SA_RESTART);
}

void ChildWaitService::SigChldHandlerWrapper(int) {
  int saved = errno;
  int status;
  pid_t pid;
  while ((pid = ::waitpid(-1, &status, WNOHANG)) > 0) {
    int32_t record[2] = {int32_t(pid), int32_t(status)};
    if (write_end_ >= 0) (void)!::send(write_end_, record, sizeof record, MSG_DONTWAIT | MSG_NOSIGNAL);
  }
  errno = saved;
}

void ChildWaitService::OnChildEvent(int fd, short revents) {
  if (!(revents & POLLIN)) return;
  int32_t record[2];
  while (::read(fd, record, sizeof record) == ssize_t(sizeof record)) {
    int pid = record[0], status = record[1];
    std::clog << "terminate child process, pid=" << pid << " status=" << status << std::endl;
    for (ChildWait* w = head_; w; w = w->next_) {
      if (w->pid_ == pid) {
        Remove(w);
        w->handler_->Invoke(*w, status);
        break;
      }
    }
  }
}
