#include "tests/e2e/harness.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace e2e {

namespace fs = std::filesystem;

Daemon::Daemon() {
  std::string tmpl = (fs::temp_directory_path() / "kelvad-e2e-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  base_ = buf.data();
  root_ = base_ + "/root";
  for (const char* dir : {"/var/run", "/var/log", "/usr/local/etc", "/proc"})
    fs::create_directories(root_ + dir);
}

Daemon::~Daemon() {
  if (pid_ > 0 && !exited_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  std::error_code ec;
  fs::remove_all(base_, ec);
}

void Daemon::write_file(const std::string& inside, const std::string& content) const {
  fs::create_directories(fs::path(path(inside)).parent_path());
  std::ofstream(path(inside), std::ios::binary | std::ios::trunc) << content;
}

static std::string slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Daemon::read_file(const std::string& inside) const { return slurp(path(inside)); }
std::string Daemon::out() const { return slurp(base_ + "/stdout"); }
std::string Daemon::err() const { return slurp(base_ + "/stderr"); }

bool Daemon::exists(const std::string& inside) const { return fs::exists(path(inside)); }

void Daemon::start(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    int out = ::open((base_ + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open((base_ + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::setenv("KELVAD_ROOT", root_.c_str(), 1);
    ::setenv("KELVAD_BOARD", "sim", 1);
    for (const std::string& e : env) ::putenv(::strdup(e.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(KELVAD_BINARY));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(KELVAD_BINARY, argv.data());
    ::_exit(127);
  }
  exited_ = false;
}

int Daemon::run_to_exit(const std::vector<std::string>& args, int timeout_ms) {
  start(args);
  return wait_exit(timeout_ms);
}

void Daemon::signal(int sig) const {
  if (pid_ > 0) ::kill(pid_, sig);
}

int Daemon::wait_exit(int timeout_ms) {
  if (exited_) return status_;
  bool done = wait_until(
      [&] {
        int status;
        pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
          exited_ = true;
          status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
          return true;
        }
        return false;
      },
      timeout_ms);
  return done ? status_ : -1;
}

bool Daemon::wait_until(const std::function<bool()>& pred, int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (true) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::string Daemon::board(const std::string& command) const {
  std::string sock = root_ + "/var/run/kelvad-board.sock";
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (sock.size() >= sizeof addr.sun_path) return "";
  std::memcpy(addr.sun_path, sock.c_str(), sock.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return "";
  std::string reply;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    std::string line = command + "\n";
    if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == ssize_t(line.size())) {
      char c;
      while (::read(fd, &c, 1) == 1 && c != '\n') reply += c;
    }
  }
  ::close(fd);
  return reply;
}

bool Daemon::wait_ready(int timeout_ms) const {
  return wait_until([&] { return !board("help").empty(); }, timeout_ms);
}

}  // namespace e2e
