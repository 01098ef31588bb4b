#include "vistram/platform/platform.h"

#include <atomic>

#include "vistram/base/memory.h"
#include "vistram/platform/recording_platform.h"

namespace {
std::atomic<Platform*> g_platform{nullptr};

Platform& DefaultPlatform() {
  static RecordingPlatform platform;
  return platform;
}

// The memory wrappers tell the user of exhausted memory in a system-modal
// box of the current platform.
void ShowOutOfMemory(const char* text) {
  CurrentPlatform().MessageBox(nullptr, "", text, MsgIcon::Error, MsgButtons::Ok, true);
}
[[maybe_unused]] const bool kOutOfMemoryReporterSet = (SetOutOfMemoryReporter(&ShowOutOfMemory), true);
}  // namespace

Platform& CurrentPlatform() {
  Platform* p = g_platform.load();
  return p != nullptr ? *p : DefaultPlatform();
}

void SetCurrentPlatform(Platform* platform) { g_platform.store(platform); }
