#include "core/syslog_manager.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <syslog.h>
#include <type_traits>
#include <string>
#include <unistd.h>

#include "core/mux_clock.h"
#include "platform/paths.h"

static_assert(std::is_trivially_destructible_v<SysLogManager>);

SysLogManager syslogManager;

namespace {

const char kDefaultIdentity[] = "syslog-il";
const char kSocketPath[] = "/dev/log";
const char kConsolePath[] = "/dev/console";

void copy_text(char* to, size_t size, const char* from) {
  std::snprintf(to, size, "%s", from);
}

// Appends printf-style text; the buffer never holds more than size - 1.
size_t append(char* buffer, size_t size, size_t used, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
size_t append(char* buffer, size_t size, size_t used, const char* format, ...) {
  if (used + 1 >= size) return used;
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer + used, size - used, format, args);
  va_end(args);
  if (n < 0) return used;
  return std::min(used + size_t(n), size - 1);
}

}  // namespace

SysLogManager::SysLogManager()
    : facility_(LOG_USER),
      mask_(0xff),
      options_(0),
      type_(SOCK_DGRAM),
      fd_(-1),
      connected_(false),
      address_{},
      message_{},
      batch_{},
      used_(0),
      pieces_(0),
      queued_current_(false),
      iov_{},
      header_{} {
  copy_text(identity_, sizeof identity_, kDefaultIdentity);
}

void SysLogManager::openlog(const char* identity, int options, int facility) {
  if (identity) copy_text(identity_, sizeof identity_, identity);
  options_ = options;
  if (facility != 0 && (facility & ~0x3f8) == 0) facility_ = facility;
  connect_log(options_);
}

void SysLogManager::connect_log(int options) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (fd_ < 0) {
      if (!prepare_address()) return;
      if (options & LOG_NDELAY) {
        fd_ = ::socket(AF_UNIX, type_ | SOCK_CLOEXEC, 0);
        if (fd_ < 0) return;
      }
    }
    if (fd_ < 0 || connected_) return;
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address_), sizeof address_) == 0) {
      connected_ = true;
      return;
    }
    int error = errno;
    close_socket();
    if (error != EPROTOTYPE) return;
    // The socket exists but is of the other type.
    type_ = type_ == SOCK_DGRAM ? SOCK_STREAM : SOCK_DGRAM;
  }
}

// Resolved once until closelog(): a reconnect during exit must not need the
// path resolver, whose storage may already be gone.
bool SysLogManager::prepare_address() {
  if (address_.sun_family == AF_UNIX) return true;
  std::string path = platform::resolve(kSocketPath);
  if (path.size() >= sizeof address_.sun_path) return false;  // cannot be addressed: stay unconnected
  address_ = {};
  address_.sun_family = AF_UNIX;
  std::memcpy(address_.sun_path, path.c_str(), path.size() + 1);
  return true;
}

void SysLogManager::close_socket() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  connected_ = false;
}

void SysLogManager::syslog(int priority, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsyslog(priority, format, args);
  va_end(args);
}

void SysLogManager::vsyslog(int priority, const char* format, va_list args) {
  if (!(mask_ & (1 << (priority & 7)))) return;
  if ((priority & 0x3f8) == 0) priority |= facility_;

  size_t n = append(message_, kMessageSize, 0, "<%d>", priority);
  size_t stamp = n;
  time_t now = Mux::seconds();
  struct tm local;
  localtime_r(&now, &local);
  n += std::strftime(message_ + n, kMessageSize - n, "%h %e %T ", &local);
  if (identity_[0]) n = append(message_, kMessageSize, n, "%s", identity_);
  if (options_ & LOG_PID) n = append(message_, kMessageSize, n, "[%d]", int(::getpid()));
  if (identity_[0]) n = append(message_, kMessageSize, n, ": ");
  if (n + 1 < kMessageSize) {
    int text = std::vsnprintf(message_ + n, kMessageSize - n, format, args);
    if (text > 0) n = std::min(n + size_t(text), kMessageSize - 1);
  }
  message_[n] = '\0';

  if (options_ & LOG_PERROR) {
    ssize_t ignored = ::write(2, message_ + stamp, n - stamp);
    if (n == stamp || message_[n - 1] != '\n') ignored = ::write(2, "\n", 1);
    (void)ignored;
  }

  if (!connected_) connect_log(options_ | LOG_NDELAY);
  queued_current_ = false;
  if (queue(message_, n + 1)) return;
  close_socket();
  connect_log(options_ | LOG_NDELAY);
  if (queue(message_, n + 1)) return;
  // Pending messages cannot be delivered; with LOG_CONS they go to the console.
  if (options_ & LOG_CONS) {
    for (int i = 0; i < pieces_; ++i) to_console(static_cast<const char*>(iov_[i].iov_base));
    if (!queued_current_) to_console(message_);
  }
  drop_batch();
  close_socket();
}

bool SysLogManager::queue(const char* message, size_t length) {
  if (!connected_) return false;
  if (!queued_current_) {
    if (used_ + length > kBatchSize - 1 || pieces_ >= kMaxPieces) return false;
    std::memcpy(batch_ + used_, message, length);
    iov_[pieces_].iov_base = batch_ + used_;
    iov_[pieces_].iov_len = length;
    ++pieces_;
    used_ += length;
    queued_current_ = true;
  }
  if (pieces_ >= kMaxPieces || used_ > kSendAbove) return transmit();
  return true;
}

// One send of everything pending; the batch is emptied only on success.
bool SysLogManager::transmit() {
  if (pieces_ == 0) return true;
  if (fd_ < 0) return false;
  header_ = {};
  header_.msg_iov = iov_;
  header_.msg_iovlen = decltype(header_.msg_iovlen)(pieces_);
  ssize_t sent;
  do sent = ::sendmsg(fd_, &header_, MSG_NOSIGNAL);
  while (sent < 0 && errno == EINTR);
  if (sent < 0) return false;
  // A stream socket may take part of the batch; the pieces are contiguous.
  size_t done = size_t(sent);
  while (done < used_) {
    ssize_t more = ::send(fd_, batch_ + done, used_ - done, MSG_NOSIGNAL);
    if (more < 0 && errno == EINTR) continue;
    if (more <= 0) break;
    done += size_t(more);
  }
  drop_batch();
  return true;
}

void SysLogManager::sendmsg() {
  if (pieces_ != 0 && fd_ >= 0 && !transmit()) {
    // The receiver may have restarted: reconnect once and resend.
    close_socket();
    connect_log(options_ | LOG_NDELAY);
    if (connected_) transmit();
  }
  drop_batch();
}

void SysLogManager::drop_batch() {
  used_ = 0;
  pieces_ = 0;
}

void SysLogManager::to_console(const char* message) {
  // The text from the time stamp on.
  const char* text = std::strchr(message, '>');
  text = text ? text + 1 : message;
  int fd = ::open(platform::resolve(kConsolePath).c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  dprintf(fd, "%s\r\n", text);
  ::close(fd);
}

void SysLogManager::closelog() {
  close_socket();
  address_ = {};
  copy_text(identity_, sizeof identity_, kDefaultIdentity);
  type_ = SOCK_DGRAM;
  drop_batch();
}

int SysLogManager::setlogmask(int mask) {
  int old = mask_;
  if (mask != 0) mask_ = mask;
  return old;
}
