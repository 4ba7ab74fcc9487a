#pragma once
// An RTP engine failure: the errno of the failed request and the caller's
// code. Its text is the system's text for that errno.

#include <ostream>

class RtpErr {
 public:
  // Takes errno as it is now, so build it right after the failing call.
  explicit RtpErr(int code);

  int code() const { return code_; }
  int error() const { return errno_; }
  const char* text() const;

 private:
  int code_;
  int errno_;
};

std::ostream& operator<<(std::ostream& out, const RtpErr& e);
