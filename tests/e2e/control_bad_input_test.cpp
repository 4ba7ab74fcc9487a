// Hostile controllers: the daemon keeps serving and gives back the
// descriptors and memory they took.

#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <functional>
#include <random>

#include "tests/e2e/control_fixture.h"

namespace e2e {
namespace {

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer holds freed blocks in quarantine, so resident memory grows
// without a leak; its own leak check at exit covers that build.
constexpr long rss_allowance_kb = 16384;
#else
constexpr long rss_allowance_kb = 512;
#endif

int OpenDescriptors(int pid) {
  DIR* dir = ::opendir(("/proc/" + std::to_string(pid) + "/fd").c_str());
  if (!dir) return -1;
  int n = 0;
  while (dirent* e = ::readdir(dir))
    if (e->d_name[0] != '.') ++n;
  ::closedir(dir);
  return n;
}

long ResidentKb(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  long value = -1;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      break;
    }
    status.ignore(1 << 20, '\n');
  }
  return value;
}

class ControlBadInput : public ControlDaemon {
 protected:
  void ExpectServed() {
    Controller c;
    ASSERT_TRUE(Connect(c));
    EXPECT_EQ(Line((c.send(Ping(77)), c.receive())), "{ seq 77, pdu response : success : NULL }");
  }
};

// One round of every kind of abuse, each from its own controller.
void Abuse(const std::function<bool(Controller&)>& connect, int churn) {
  {  // random bytes: whatever they frame is refused or dropped
    Controller c;
    ASSERT_TRUE(connect(c));
    std::mt19937 random(7);
    Bytes noise(20000);
    for (auto& b : noise) b = uint8_t(random());
    c.send_raw(noise);
  }
  {  // the largest frame TPKT allows
    Controller c;
    ASSERT_TRUE(connect(c));
    ASSERT_TRUE(c.send_payload(Bytes(65535 - 4, 0xFF)));
    c.silent(1000);
  }
  {  // thousands of tiny frames, each an undecodable payload, then a command
    Controller c;
    ASSERT_TRUE(connect(c));
    Bytes many;
    for (int i = 0; i < 5000; ++i) {
      const Bytes f = Frame({0xC0});
      many.insert(many.end(), f.begin(), f.end());
    }
    ASSERT_TRUE(c.send_raw(many));
    ASSERT_TRUE(c.send(Ping(5)));
    EXPECT_EQ(Line(c.receive(20000)), "{ seq 5, pdu response : success : NULL }");
  }
  for (int i = 0; i < churn; ++i) {
    Controller c;
    ASSERT_TRUE(connect(c)) << "connection " << i;
  }
}

TEST_F(ControlBadInput, SurvivesGarbageHugeAndTinyFramesAndConnectionChurn) {
  auto connect = [this](Controller& c) { return Connect(c); };
  // A first round fills the buffer pools the daemon keeps for good.
  Abuse(connect, 20);
  ExpectServed();
  ASSERT_TRUE(Daemon::wait_until([&] { return Count(daemon.err(), "closed.") >= 24; }));
  const int fds_before = OpenDescriptors(daemon.pid());
  const long rss_before = ResidentKb(daemon.pid());
  ASSERT_GT(fds_before, 0);
  ASSERT_GT(rss_before, 0);

  Abuse(connect, 1000);

  ExpectServed();
  // Every connection above has been closed and cleaned up.
  EXPECT_TRUE(Daemon::wait_until([&] { return OpenDescriptors(daemon.pid()) == fds_before; }, 20000))
      << OpenDescriptors(daemon.pid()) << " descriptors, " << fds_before << " before";
  const long rss_after = ResidentKb(daemon.pid());
  EXPECT_LT(rss_after, rss_before + rss_allowance_kb) << rss_before << " kB before, " << rss_after << " kB after";
}

}  // namespace
}  // namespace e2e
