#include "platform/sim/board.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/sim/models.h"

namespace platform::sim {

namespace {

const auto board_start = std::chrono::steady_clock::now();

std::vector<std::string_view> split_words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
    if (j > i) words.push_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

bool parse_ms(std::string_view text, uint32_t& out) {
  if (text.empty() || text.size() > 9) return false;
  uint32_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + uint32_t(c - '0');
  }
  out = v;
  return true;
}

}  // namespace

uint64_t board_uptime_ms() {
  return uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - board_start)
                      .count());
}

std::string ok(std::string_view text) {
  return text.empty() ? std::string("ok") : "ok " + std::string(text);
}
std::string error(std::string_view text) { return "error " + std::string(text); }

bool OpenFile::deliver(const void* data, size_t len) const {
  return ::send(board_fd, data, len, MSG_DONTWAIT | MSG_NOSIGNAL) == ssize_t(len);
}

int DeviceModel::ioctl(OpenFile&, uint32_t, uintptr_t) {
  errno = ENOTTY;
  return -1;
}

ssize_t DeviceModel::write(OpenFile&, const uint8_t*, size_t) {
  errno = EINVAL;
  return -1;
}

ssize_t DeviceModel::read(OpenFile&, int daemon_fd, uint8_t* buf, size_t len) {
  return ::read(daemon_fd, buf, len);
}

SimBoard& SimBoard::instance() {
  static SimBoard board;
  return board;
}

SimBoard::SimBoard() {
  register_models(*this);
  std::ifstream startup(resolve(kStartupFile));
  std::string line;
  for (int number = 1; std::getline(startup, line); ++number) {
    size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    std::string reply = command(line);
    if (reply.rfind("ok", 0) != 0)
      std::cerr << "board: " << kStartupFile << ':' << number << ": " << reply << std::endl;
  }
}

void SimBoard::add(std::unique_ptr<DeviceModel> model) { models_.push_back(std::move(model)); }

DeviceModel* SimBoard::model(std::string_view name) const {
  for (auto& m : models_)
    if (m->name() == name) return m.get();
  return nullptr;
}

int SimBoard::open(const std::string& path, int flags) {
  reap();
  DeviceModel* target = nullptr;
  for (auto& m : models_)
    if (m->path() == path) target = m.get();
  if (!target) {
    errno = ENODEV;
    return -1;
  }
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) < 0) return -1;
  auto entry = std::make_unique<Entry>();
  entry->model = target;
  entry->file.path = path;
  entry->file.flags = flags;
  entry->file.board_fd = pair[1];
  entry->file.serial = next_serial_++;
  if (int refused = target->open(entry->file)) {
    ::close(pair[0]);
    ::close(pair[1]);
    errno = refused;
    return -1;
  }
  if (flags & O_NONBLOCK) ::fcntl(pair[0], F_SETFL, ::fcntl(pair[0], F_GETFL) | O_NONBLOCK);
  ::fcntl(pair[1], F_SETFL, ::fcntl(pair[1], F_GETFL) | O_NONBLOCK);
  struct stat st;
  ::fstat(pair[0], &st);
  files_[Key{st.st_dev, st.st_ino}] = std::move(entry);
  return pair[0];
}

SimBoard::Entry* SimBoard::find(int fd) {
  struct stat st;
  if (::fstat(fd, &st) < 0) return nullptr;  // errno EBADF from fstat
  auto it = files_.find(Key{st.st_dev, st.st_ino});
  if (it == files_.end()) {
    errno = ENOTTY;
    return nullptr;
  }
  return it->second.get();
}

int SimBoard::ioctl(int fd, uint32_t request, uintptr_t arg) {
  Entry* e = find(fd);
  return e ? e->model->ioctl(e->file, request, arg) : -1;
}

ssize_t SimBoard::read(int fd, void* buf, size_t len) {
  Entry* e = find(fd);
  if (!e) return ::read(fd, buf, len);
  return e->model->read(e->file, fd, static_cast<uint8_t*>(buf), len);
}

ssize_t SimBoard::write(int fd, const void* buf, size_t len) {
  Entry* e = find(fd);
  if (!e) return ::write(fd, buf, len);
  return e->model->write(e->file, static_cast<const uint8_t*>(buf), len);
}

int SimBoard::close(int fd) {
  int rc = ::close(fd);
  int saved = errno;
  reap();
  errno = saved;
  return rc;
}

void SimBoard::reap() {
  for (auto it = files_.begin(); it != files_.end();) {
    pollfd p{it->second->file.board_fd, 0, 0};
    if (::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP)) {
      it->second->model->release(it->second->file);
      ::close(it->second->file.board_fd);
      it = files_.erase(it);
    } else {
      ++it;
    }
  }
}

std::vector<const OpenFile*> SimBoard::open_files(const DeviceModel& model) {
  reap();
  std::vector<const OpenFile*> out;
  for (auto& [key, e] : files_)
    if (e->model == &model) out.push_back(&e->file);
  std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->serial < b->serial; });
  return out;
}

std::string SimBoard::command(std::string_view line) {
  reap();
  auto words = split_words(line);
  if (words.empty()) return error("empty command");
  if (words[0] == "help") {
    std::ostringstream out;
    out << "commands: help; clock; clock advance MS";
    for (auto& m : models_)
      for (auto& h : m->help()) out << "; " << m->name() << ' ' << h;
    return ok(out.str());
  }
  if (words[0] == "clock") {
    if (words.size() == 1) {
      return ok("advanced=" + std::to_string(clock_advance_us() / 1000));
    }
    uint32_t ms;
    if (words.size() == 3 && words[1] == "advance" && parse_ms(words[2], ms)) {
      advance_clock(ms);
      return ok("advanced=" + std::to_string(clock_advance_us() / 1000));
    }
    return error("usage: clock advance MS (0..999999999)");
  }
  if (DeviceModel* m = model(words[0])) {
    return m->command(Args(words.begin() + 1, words.end()));
  }
  return error("unknown command \"" + std::string(words[0]) + "\" (try help)");
}

}  // namespace platform::sim
