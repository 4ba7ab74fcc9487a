// Child-exit notification through the SIGCHLD socket pair.

#include <gtest/gtest.h>

#include <chrono>
#include <sys/wait.h>
#include <unistd.h>

#include "core/child_wait.h"
#include "core/timer.h"
#include "tests/core/loop_fixture.h"

namespace {

struct Owner {
  ChildWait wait;
  int status = -1;
  int calls = 0;
  void OnEnd(int s) {
    status = s;
    ++calls;
  }
  Owner() { wait.Bind(this, &Owner::OnEnd); }
};

// A child that ends with exit_code once the go pipe's write end is closed.
int Spawn(int exit_code, const int* go) {
  pid_t pid = ::fork();
  if (pid == 0) {
    char c;
    if (go) {
      ::close(go[1]);
      (void)!::read(go[0], &c, 1);
    }
    ::_exit(exit_code);
  }
  return pid;
}

// Passes until pred holds, bounded in real time.
template <class Pred>
bool PassUntil(Pred pred) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    multiplexer.pass();
  }
  return true;
}

class ChildWaits : public ::testing::Test {
 protected:
  void SetUp() override {
    ChildWait::Activate();
    ASSERT_TRUE(ChildWaitService::childWaitService->active());
    tick_.Watch();  // wakes the loop now and then so the bound is checked
  }
  TestPipe tick_{"tick"};
};

TEST_F(ChildWaits, TwoChildrenEndingAtOnceNotifyTheirOwnOwners) {
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  Owner first, second;
  int pid1 = Spawn(3, go);
  int pid2 = Spawn(5, go);
  first.wait.Attach(pid1);
  second.wait.Attach(pid2);
  ::close(go[0]);
  ::close(go[1]);  // both children see EOF and end together
  StreamCapture log(std::clog);
  ASSERT_TRUE(PassUntil([&] { return first.calls && second.calls; }));
  EXPECT_EQ(first.calls, 1);
  EXPECT_EQ(second.calls, 1);
  EXPECT_TRUE(WIFEXITED(first.status) && WEXITSTATUS(first.status) == 3);
  EXPECT_TRUE(WIFEXITED(second.status) && WEXITSTATUS(second.status) == 5);
  EXPECT_NE(log.text().find("terminate child process, pid=" + std::to_string(pid1) + " status=768\n"),
            std::string::npos)
      << log.text();
  EXPECT_FALSE(first.wait.attached());
}

TEST_F(ChildWaits, UnregisteredChildIsOnlyLoggedAndDetachedOwnerIsNotCalled) {
  Owner detached;
  int pid = Spawn(0, nullptr);
  detached.wait.Attach(pid);
  detached.wait.Detach();
  StreamCapture log(std::clog);
  ASSERT_TRUE(PassUntil([&] { return log.text().find("pid=" + std::to_string(pid)) != std::string::npos; }));
  EXPECT_EQ(detached.calls, 0);
}

TEST_F(ChildWaits, KilledChildReportsTheRawWaitStatus) {
  Owner owner;
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  int pid = Spawn(0, go);
  owner.wait.Attach(pid);
  ::kill(pid, SIGKILL);
  ASSERT_TRUE(PassUntil([&] { return owner.calls == 1; }));
  EXPECT_TRUE(WIFSIGNALED(owner.status));
  EXPECT_EQ(WTERMSIG(owner.status), SIGKILL);
  ::close(go[0]);
  ::close(go[1]);
}

}  // namespace
