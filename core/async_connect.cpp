#include "core/async_connect.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

#include "core/inet4_addr.h"

namespace ASync {

void Connect::Bind(Handler* handler) {
  if (handler_ != handler) delete handler_;
  handler_ = handler;
}

void Connect::UnBind() {
  delete handler_;
  handler_ = nullptr;
}

void Connect::Start(const std::string& address, unsigned ms) {
  status_ = Status::connecting;
  socket_ = Fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
  if (!socket_.valid() || !socket_.NonBlock()) {
    Complete(Status::failed);
    return;
  }
  INet4::Addr addr;
  if (!addr.Assign(address)) {
    Complete(Status::failed);
    return;
  }
  const sockaddr_in& sa = addr.sockaddr();
  if (::connect(socket_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
    Complete(Status::connected);
    return;
  }
  if (errno != EINPROGRESS) {
    Complete(Status::failed);
    return;
  }
  event_.Bind<Connect>("Connect::OnSocketEvent", &Connect::OnSocketEvent, this);
  event_.Schedule(socket_, POLLOUT);
  timer_.set(ms, &Connect::OnTimeOut, this);
}

void Connect::OnSocketEvent(int, short revents) {
  if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
    Complete(Status::failed);
    return;
  }
  if (!(revents & POLLOUT)) return;
  int error = 0;
  socklen_t len = sizeof error;
  if (::getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) {
    Complete(Status::failed);
    return;
  }
  Complete(Status::connected);
}

void Connect::OnTimeOut(Timer*) { Complete(Status::failed); }

void Connect::Complete(Status::Type status) {
  if (status_ != Status::connecting) return;
  status_ = status;
  Fd result;
  if (status == Status::connected) result = socket_;
  socket_.close();
  event_.UnBind();
  event_.Release();
  timer_.reset();
  if (handler_) handler_->Invoke(status, std::move(result));
}

}  // namespace ASync
