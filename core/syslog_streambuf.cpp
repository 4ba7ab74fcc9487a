#include "core/syslog_streambuf.h"

#include <cstring>
#include <syslog.h>

#include "core/syslog_manager.h"

SysLogStreamBuf::SysLogStreamBuf(int facility, int priority) : SysLogStreamBuf(facility, priority, 1024) {}

SysLogStreamBuf::SysLogStreamBuf(int facility, int priority, size_t area)
    : priority_(facility | priority), area_(area) {
  setp(area_.data(), area_.data() + area_.size() - 1);
}

SysLogStreamBuf::~SysLogStreamBuf() { sync(); }

int SysLogStreamBuf::overflow(int c) {
  sync();
  if (c == traits_type::eof()) return traits_type::not_eof(c);
  if (pptr() == epptr()) return traits_type::eof();
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int SysLogStreamBuf::sync() {
  char* begin = pbase();
  char* end = pptr();
  if (begin == end) return 0;
  *end = '\0';
  if (!std::memchr(begin, '\n', size_t(end - begin))) {
    // A partial line waits for the rest unless the area is full.
    if (end != epptr()) return 0;
    send(begin);
  } else {
    char* line = begin;
    while (line < end) {
      char* newline = static_cast<char*>(std::memchr(line, '\n', size_t(end - line)));
      char* stop = newline ? newline : end;
      *stop = '\0';
      send(line);
      line = stop + 1;
    }
  }
  setp(area_.data(), area_.data() + area_.size() - 1);
  flushed();
  return 0;
}

void SysLogStreamBuf::send(const char* line) { ::syslog(priority_, "%s", line); }

ManagedSysLogStreamBuf::ManagedSysLogStreamBuf(int facility, int priority)
    : SysLogStreamBuf(facility, priority, 16384) {}

ManagedSysLogStreamBuf::~ManagedSysLogStreamBuf() { sync(); }

void ManagedSysLogStreamBuf::send(const char* line) { syslogManager.syslog(priority(), "%s", line); }

void ManagedSysLogStreamBuf::flushed() { syslogManager.sendmsg(); }
