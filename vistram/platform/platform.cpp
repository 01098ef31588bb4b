#include "vistram/platform/platform.h"

#include <atomic>

#include "vistram/platform/recording_platform.h"

namespace {
std::atomic<Platform*> g_platform{nullptr};

Platform& DefaultPlatform() {
  static RecordingPlatform platform;
  return platform;
}
}  // namespace

Platform& CurrentPlatform() {
  Platform* p = g_platform.load();
  return p != nullptr ? *p : DefaultPlatform();
}

void SetCurrentPlatform(Platform* platform) { g_platform.store(platform); }
