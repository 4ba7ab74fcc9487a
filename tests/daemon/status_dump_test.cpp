// Signal requests become work on the loop: two SIGUSR2 before a pass give one
// dump; the dump goes under the root.

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "core/dpc.h"
#include "core/event.h"
#include "core/multiplexer.h"
#include "daemon/status_dump.h"
#include "platform/paths.h"

namespace {

TEST(StatusDump, TwoSignalsBeforeAPassGiveOneDump) {
  char tmpl[] = "/tmp/kelvad-dump-test-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  std::string dir = tmpl;
  ASSERT_EQ(::mkdir((dir + "/var").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((dir + "/var/log").c_str(), 0755), 0);
  platform::set_root(dir);
  std::string file = dir + "/var/log/server-status";

  InstallSignalHandlers();
  Dpc check(new DpcHandler1(&CheckSignals));
  check.Activate();
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  Event wake;
  wake.Schedule(Fd(fds[0]), POLLIN);
  ASSERT_EQ(::write(fds[1], "x", 1), 1);  // poll returns at once

  ::raise(SIGUSR2);
  ::raise(SIGUSR2);
  multiplexer.pass();
  std::ifstream in(file);
  std::stringstream dump;
  dump << in.rdbuf();
  EXPECT_EQ(dump.str().rfind("version : ", 0), 0u) << dump.str();

  ASSERT_EQ(::unlink(file.c_str()), 0);
  multiplexer.pass();
  EXPECT_NE(::access(file.c_str(), F_OK), 0) << "the second signal must not give a second dump";

  ::close(fds[1]);
  platform::set_root("/");
  (void)!::system(("rm -rf " + dir).c_str());
}

}  // namespace
