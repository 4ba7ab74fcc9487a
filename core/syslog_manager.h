#pragma once
// The daemon's own client of the local syslog socket ("/dev/log" under the
// root). Messages are packed back to back, each with its zero byte, and sent
// in one datagram by sendmsg() or as soon as the batch is nearly full.
//
// The object is trivially destructible on purpose: the standard streams may
// still log through it while static objects are being destroyed at exit.

#include <cstdarg>
#include <cstddef>
#include <sys/socket.h>
#include <sys/uio.h>
#include <sys/un.h>

class SysLogManager {
 public:
  static constexpr size_t kMessageSize = 1024;   // one message, at most 1023 characters
  static constexpr size_t kBatchSize = 16384;    // at most 16383 bytes pending
  static constexpr size_t kSendAbove = 12288;    // bytes pending that send at once
  static constexpr int kMaxPieces = 256;         // messages pending that send at once

  SysLogManager();

  // identity null keeps the current one; facility 0 keeps the default.
  void openlog(const char* identity, int options, int facility);
  void syslog(int priority, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void vsyslog(int priority, const char* format, va_list args);
  // Sends what is pending (reconnecting once if the send fails) and empties the batch.
  void sendmsg();
  void closelog();
  // The levels that pass (bit 1 << level); returns the previous mask.
  int setlogmask(int mask);

  int fd() const { return fd_; }
  bool connected() const { return connected_; }
  int socket_type() const { return type_; }
  const char* identity() const { return identity_; }
  int pending() const { return pieces_; }
  size_t pending_bytes() const { return used_; }

 private:
  void connect_log(int options);
  bool prepare_address();
  void close_socket();
  // Appends the message (once per syslog call) and sends when the batch is due.
  bool queue(const char* message, size_t length);
  bool transmit();
  void drop_batch();
  void to_console(const char* message);

  char identity_[256];
  int facility_;
  int mask_;
  int options_;
  int type_;
  int fd_;
  bool connected_;
  sockaddr_un address_;
  char message_[kMessageSize];
  char batch_[kBatchSize];
  size_t used_;
  int pieces_;
  bool queued_current_;
  iovec iov_[kMaxPieces];
  msghdr header_;
};

extern SysLogManager syslogManager;
