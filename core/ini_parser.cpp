// The one-pass parser of the configuration syntax. It never fails: whatever
// cannot be read as a header or a key=value pair is skipped.

#include <string>

#include "core/ini_file.h"

namespace IniFile {
namespace {

class Parser {
 public:
  explicit Parser(File& file) : file_(file) {}

  void feed(char c) {
    if (c == '\r') return;
    if (c == '\n') {
      newline();
      return;
    }
    switch (state_) {
      case State::ignoring:
        // Outside any subsection only comments and headers mean anything.
        if (c == '#') state_ = State::comment;
        else if (c == '[') start_header();
        break;
      case State::comment:
      case State::after_header: break;
      case State::header:
        if (c == ']') {
          current_ = &file_.NewSubSection(text_, line_);
          state_ = State::after_header;
        } else {
          text_ += c;
        }
        break;
      case State::line_start:
        if (c == ' ' || c == '\t') break;
        if (c == '#') state_ = State::comment;
        else if (c == '[') start_header();
        else {
          key_.clear();
          spaces_ = 0;
          state_ = State::key;
          feed(c);  // "=" at once ends an empty name
        }
        break;
      case State::key:
        if (c == '=') {
          value_.clear();
          spaces_ = 0;
          state_ = State::after_equals;
        } else {
          append(key_, c);
        }
        break;
      case State::after_equals:
        if (c == ' ') break;
        pending_ = true;
        if (c == '#') state_ = State::comment;
        else {
          value_.assign(1, c);
          state_ = State::value;
        }
        break;
      case State::value:
        if (c == '#' && spaces_ > 0) state_ = State::comment;
        else append(value_, c);
        break;
    }
  }

  void finish() {
    if (state_ == State::after_equals || state_ == State::value || pending_) store();
  }

 private:
  enum class State { ignoring, comment, header, after_header, line_start, key, after_equals, value };

  void start_header() {
    text_.clear();
    state_ = State::header;
  }

  // Spaces are held back until something follows them, so trailing ones drop.
  void append(std::string& text, char c) {
    if (c == ' ') {
      ++spaces_;
      return;
    }
    text.append(spaces_, ' ');
    spaces_ = 0;
    text += c;
  }

  void store() {
    current_->NewSubKey(key_, value_, line_);
    pending_ = false;
  }

  void newline() {
    switch (state_) {
      case State::header: current_ = nullptr; break;  // abandoned: nothing until the next header
      case State::after_equals:
      case State::value: store(); break;
      default:
        if (pending_) store();
        break;
    }
    state_ = current_ ? State::line_start : State::ignoring;
    ++line_;
  }

  File& file_;
  SubSection* current_ = nullptr;
  State state_ = State::ignoring;
  int line_ = 1;
  std::string text_, key_, value_;
  size_t spaces_ = 0;
  bool pending_ = false;  // an "=" was read and a comment followed
};

}  // namespace

void File::Parse(std::istream& in) {
  Parser parser(*this);
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    std::streamsize got = in.gcount();
    for (std::streamsize i = 0; i < got; ++i) parser.feed(chunk[i]);
    if (!in) break;
  }
  parser.finish();
  mOpened = true;
}

}  // namespace IniFile
