#pragma once
// Results that travel between protocol layers: reference-counted objects
// carrying the producing layer and a message text.

#include <ostream>
#include <string>

#include "transport/smart_pointer.h"

class Protocol;

class Internal_protocol_status {
 public:
  Internal_protocol_status(Protocol* producer, std::string message)
      : producer_(producer), message_(std::move(message)) {}
  virtual ~Internal_protocol_status() = default;
  virtual bool success() const = 0;
  virtual const std::string& message() const { return message_; }
  virtual void out(std::ostream& stream) const { stream << message_; }
  Protocol* producer() const { return producer_; }

  void add_ref() { ++refcount_; }
  bool release_ref() { return --refcount_ == 0; }
  static void dispose(Internal_protocol_status* s) { delete s; }

 private:
  Protocol* producer_;
  int refcount_ = 0;
  std::string message_;
};

typedef Smart_pointer<Internal_protocol_status> Protocol_status;

class Protocol_status_success : public Internal_protocol_status {
 public:
  using Internal_protocol_status::Internal_protocol_status;
  bool success() const override { return true; }
};

class Protocol_status_error : public Internal_protocol_status {
 public:
  using Internal_protocol_status::Internal_protocol_status;
  bool success() const override { return false; }
};

class Protocol_initialize_error : public Protocol_status_error {
 public:
  using Protocol_status_error::Protocol_status_error;
};

inline Protocol_status make_success(Protocol* producer, std::string text) {
  return Protocol_status(new Protocol_status_success(producer, std::move(text)));
}
inline Protocol_status make_error(Protocol* producer, std::string text) {
  return Protocol_status(new Protocol_status_error(producer, std::move(text)));
}

inline std::ostream& operator<<(std::ostream& out, const Protocol_status& status) {
  if (status) status->out(out);
  return out;
}
