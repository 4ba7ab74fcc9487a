// Descriptor-to-descriptor copy over pipes: whole transfers, a blocked
// destination, failures and reconfiguration, each reported once.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/async_copy.h"
#include "core/multiplexer.h"
#include "tests/core/loop_fixture.h"

namespace {

using Status = ASync::Copy::Status;

struct Pipe {
  Pipe() {
    int fds[2];
    EXPECT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
    read_end = Fd(fds[0]);
    write_end = Fd(fds[1]);
  }
  Fd read_end, write_end;
};

std::string drain(int fd) {
  std::string out;
  char buf[4096];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0) out.append(buf, size_t(n));
  return out;
}

class AsyncCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    ::signal(SIGPIPE, SIG_IGN);
    keep_alive.Watch();
    keep_alive.MakeReadable();
    copy.Bind<AsyncCopy>(&AsyncCopy::On, this);
  }
  void On(Status::Type status) { seen.push_back(status); }
  void run_until_reported(int passes = 100) {
    for (int i = 0; i < passes && seen.empty(); ++i) multiplexer.pass();
  }
  TestPipe keep_alive{"keep-alive"};
  Pipe source, destination;
  ASync::Copy copy;
  std::vector<Status::Type> seen;
};

TEST_F(AsyncCopy, CopiesEverythingUntilTheSourceEnds) {
  std::string data(5000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = char(i * 13);
  ASSERT_EQ(::write(source.write_end, data.data(), data.size()), ssize_t(data.size()));
  source.write_end.close();
  copy.Start(source.read_end, destination.write_end);
  source.read_end.close();
  run_until_reported();
  EXPECT_EQ(seen, std::vector<Status::Type>{Status::completed});
  EXPECT_EQ(copy.written(), data.size());
  destination.write_end.close();
  EXPECT_EQ(drain(destination.read_end), data);
}

TEST_F(AsyncCopy, EmptySourceCompletesWithoutWriting) {
  source.write_end.close();
  ASync::Copy::EventsParams no_flush;
  no_flush.flush = 0;
  copy.set_events(no_flush);
  copy.Start(source.read_end, destination.write_end);
  EXPECT_EQ(seen, std::vector<Status::Type>{Status::completed});
  EXPECT_EQ(copy.written(), 0u);
}

TEST_F(AsyncCopy, EmptySourceWaitsForTheFlushEventsFirst) {
  source.write_end.close();
  copy.Start(source.read_end, destination.write_end);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(copy.status(), Status::flushing);
  run_until_reported();
  EXPECT_EQ(seen, std::vector<Status::Type>{Status::completed});
}

TEST_F(AsyncCopy, SourceEndingWhileTheDestinationIsBlockedStillWritesTheLastBlock) {
  std::string filler(1 << 20, 'f');
  ssize_t stuffed = ::write(destination.write_end, filler.data(), filler.size());
  ASSERT_GT(stuffed, 0);
  ASSERT_EQ(::write(source.write_end, "last", 4), 4);
  copy.Start(source.read_end, destination.write_end);
  EXPECT_TRUE(seen.empty());
  copy.Stop();  // the source ends now; the block in hand is pending
  EXPECT_EQ(copy.status(), Status::draining);
  multiplexer.pass();
  EXPECT_TRUE(seen.empty());

  std::string received;
  for (int i = 0; i < 100 && seen.empty(); ++i) {
    received += drain(destination.read_end);
    multiplexer.pass();
  }
  received += drain(destination.read_end);
  EXPECT_EQ(seen, std::vector<Status::Type>{Status::completed});
  EXPECT_EQ(received.size(), size_t(stuffed) + 4);
  EXPECT_EQ(received.substr(received.size() - 4), "last");
}

TEST_F(AsyncCopy, AWriteErrorFailsWithItsErrno) {
  ASSERT_EQ(::write(source.write_end, "data", 4), 4);
  destination.read_end.close();
  copy.Start(source.read_end, destination.write_end);
  run_until_reported();
  EXPECT_EQ(seen, std::vector<Status::Type>{Status::failed});
  EXPECT_EQ(copy.error(), EPIPE);
}

TEST_F(AsyncCopy, AReadErrorBeforeAnyByteFails) {
  Fd directory(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  copy.Start(directory, destination.write_end);
  EXPECT_EQ(seen, std::vector<Status::Type>{Status::failed});
}

TEST_F(AsyncCopy, AFailureWhileDrainingIsReported) {
  std::string filler(1 << 20, 'f');
  ASSERT_GT(::write(destination.write_end, filler.data(), filler.size()), 0);
  ASSERT_EQ(::write(source.write_end, "last", 4), 4);
  copy.Start(source.read_end, destination.write_end);
  copy.Stop();
  destination.read_end.close();
  run_until_reported();
  EXPECT_EQ(seen, std::vector<Status::Type>{Status::failed});
}

TEST_F(AsyncCopy, ReconfiguringARunningCopyEndsIt) {
  copy.Start(source.read_end, destination.write_end);
  EXPECT_EQ(copy.status(), Status::copying);
  copy.set_bufsize(64);
  EXPECT_EQ(seen, std::vector<Status::Type>{Status::reconfigured});
  // Reported once: later events on the old descriptors change nothing.
  ASSERT_EQ(::write(source.write_end, "x", 1), 1);
  multiplexer.pass();
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(AsyncCopy, SmallBufferCopiesInManyBlocks) {
  copy.set_bufsize(7);
  std::string data(100, 'a');
  ASSERT_EQ(::write(source.write_end, data.data(), data.size()), 100);
  source.write_end.close();
  copy.Start(source.read_end, destination.write_end);
  run_until_reported();
  EXPECT_EQ(seen, std::vector<Status::Type>{Status::completed});
  EXPECT_EQ(drain(destination.read_end), data);
}

}  // namespace
