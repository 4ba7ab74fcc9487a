#pragma once
// A stream buffer that writes to one file per hour, "<directory>/%Y_%m_%d-%H.log",
// each line prefixed with "MM:SS:USEC: " (all lines of one flush share it).

#include <cstdio>
#include <streambuf>
#include <string>

class LogFileStreamBuf : public std::streambuf {
 public:
  explicit LogFileStreamBuf(std::string directory);
  ~LogFileStreamBuf() override;
  LogFileStreamBuf(const LogFileStreamBuf&) = delete;
  LogFileStreamBuf& operator=(const LogFileStreamBuf&) = delete;

  // The file written now ("" when it could not be opened).
  const std::string& file_name() const { return name_; }

 protected:
  int overflow(int c) override;
  int sync() override;

 private:
  void open_for(const struct tm& local);
  void write(const char* text, size_t length);

  std::FILE* file_ = nullptr;
  std::string directory_;
  std::string name_;
  int hour_ = -1;  // hours since 1900 of the open file, local time
  char area_[16];
  bool mid_line_ = false;
};
