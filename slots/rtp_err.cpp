#include "slots/rtp_err.h"

#include <cerrno>
#include <cstring>

RtpErr::RtpErr(int code) : code_(code), errno_(errno) {}

const char* RtpErr::text() const { return std::strerror(errno_); }

std::ostream& operator<<(std::ostream& out, const RtpErr& e) { return out << e.text(); }
