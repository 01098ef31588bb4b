// The memory wrappers live below the platform layer; the platform installs
// the system-modal message they show when memory runs out.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "vistram/base/memory.h"
#include "vistram/platform/recording_platform.h"

namespace {

class OutOfMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  RecordingPlatform platform_;
};

constexpr std::size_t kTooLarge = static_cast<std::size_t>(-1) - 8;

TEST_F(OutOfMemoryTest, EachFailureIsOneSystemModalErrorBox) {
  struct Case {
    const char* what;
    bool (*fails)();
    const char* text;
  };
  static void* kept = nullptr;
  const Case cases[] = {
      {"alloc", [] { return MyAlloc(kTooLarge) == nullptr; }, "Memory allocation failed: not enough memory !"},
      {"realloc",
       [] {
         kept = MyAlloc(16);
         return MyReAlloc(kept, kTooLarge) == nullptr;
       },
       "Memory reallocation failed: not enough memory !"},
      {"container", [] { ReportOutOfMemory(); return true; }, "Memory allocation failed: not enough memory !"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform_.Clear();
    ASSERT_TRUE(c.fails());
    const auto messages = platform_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, c.text);
    EXPECT_EQ(messages[0].icon, MsgIcon::Error);
    EXPECT_TRUE(messages[0].systemModal);
  }
  // The block survives a failed resize whole.
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(MySize(kept), 16u);
  MyFree(kept);
}

}  // namespace
