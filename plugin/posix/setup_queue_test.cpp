#include "plugin/posix/setup_queue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace velmora {
namespace {

using std::chrono::milliseconds;

SetupQueue::Clock::time_point In(milliseconds ms) {
  return SetupQueue::Clock::now() + ms;
}

TEST(SetupQueueTest, SendReturnsOnceHandledAfterEverythingPostedBefore) {
  SetupQueue queue;
  std::vector<SetupMessageId> handled;
  std::thread setup([&] {
    for (int i = 0; i < 3; ++i) {
      handled.push_back(queue.Take().id);
      queue.Finish();
    }
  });
  ASSERT_TRUE(queue.Post({SetupMessageId::kStatusUpdate}));
  ASSERT_TRUE(queue.Post({SetupMessageId::kClick}));
  EXPECT_TRUE(queue.Send({SetupMessageId::kInspect}, In(milliseconds(5000))));
  EXPECT_EQ(handled, (std::vector<SetupMessageId>{SetupMessageId::kStatusUpdate,
                                                  SetupMessageId::kClick,
                                                  SetupMessageId::kInspect}));
  setup.join();
}

TEST(SetupQueueTest, ClosingReleasesAWaitingSenderAndRefusesMore) {
  SetupQueue queue;
  std::thread setup([&] {
    queue.Take();  // taken, never finished: the window ends instead
    queue.Close();
  });
  EXPECT_FALSE(queue.Send({SetupMessageId::kClose}, In(milliseconds(5000))));
  setup.join();
  EXPECT_FALSE(queue.Post({SetupMessageId::kStatusUpdate}));
  EXPECT_FALSE(queue.Send({SetupMessageId::kClose}, In(milliseconds(5000))));
}

TEST(SetupQueueTest, SendGivesUpAtItsDeadline) {
  SetupQueue queue;  // no setup thread takes anything
  auto start = SetupQueue::Clock::now();
  EXPECT_FALSE(queue.Send({SetupMessageId::kClose}, In(milliseconds(50))));
  EXPECT_LT(SetupQueue::Clock::now() - start, milliseconds(2000));
}

}  // namespace
}  // namespace velmora
