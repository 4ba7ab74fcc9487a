#include "core/log_file_streambuf.h"

#include <cstring>
#include <ctime>

#include "core/mux_clock.h"

namespace {

struct Now {
  struct tm local;
  long microseconds;
};

Now now() {
  Mux::timeval tv;
  Mux::gettimeval(tv);
  Now n;
  time_t seconds = tv.tv_sec;
  localtime_r(&seconds, &n.local);
  n.microseconds = tv.tv_usec;
  return n;
}

int hour_of(const struct tm& local) { return (local.tm_year * 366 + local.tm_yday) * 24 + local.tm_hour; }

}  // namespace

LogFileStreamBuf::LogFileStreamBuf(std::string directory) : directory_(std::move(directory)) {
  setp(area_, area_ + sizeof area_);
  open_for(now().local);
}

LogFileStreamBuf::~LogFileStreamBuf() {
  sync();
  if (file_) std::fclose(file_);
}

void LogFileStreamBuf::open_for(const struct tm& local) {
  if (file_) std::fclose(file_);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y_%m_%d-%H", &local);
  name_ = directory_ + "/" + stamp + ".log";
  file_ = std::fopen(name_.c_str(), "we");
  if (!file_) name_.clear();
  hour_ = hour_of(local);
}

void LogFileStreamBuf::write(const char* text, size_t length) {
  if (file_ && length) std::fwrite(text, 1, length, file_);
}

int LogFileStreamBuf::overflow(int c) {
  sync();
  if (c == traits_type::eof()) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int LogFileStreamBuf::sync() {
  const char* text = pbase();
  const char* end = pptr();
  setp(area_, area_ + sizeof area_);
  if (text == end) return 0;

  if (mid_line_) {
    const char* newline = static_cast<const char*>(std::memchr(text, '\n', size_t(end - text)));
    const char* stop = newline ? newline + 1 : end;
    write(text, size_t(stop - text));
    text = stop;
    mid_line_ = !newline;
  }
  if (text != end) {
    Now n = now();
    if (hour_of(n.local) != hour_) open_for(n.local);
    char prefix[32];
    int prefix_length = std::snprintf(prefix, sizeof prefix, "%02d:%02d:%05ld: ", n.local.tm_min, n.local.tm_sec,
                                      n.microseconds);
    while (text != end) {
      const char* newline = static_cast<const char*>(std::memchr(text, '\n', size_t(end - text)));
      const char* stop = newline ? newline + 1 : end;
      write(prefix, size_t(prefix_length));
      write(text, size_t(stop - text));
      text = stop;
      mid_line_ = !newline;
    }
  }
  if (file_) std::fflush(file_);
  return 0;
}
