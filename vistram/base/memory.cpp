#include "vistram/base/memory.h"

#include <cstdlib>
#include <cstring>
#include <atomic>
#include <cstdio>
#include <mutex>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

// Each block carries its size in a header so that MySize and MyReAlloc can
// zero-fill what they add. The header keeps max_align_t alignment.
namespace {
constexpr std::size_t kHeader = alignof(std::max_align_t) > sizeof(std::size_t) ? alignof(std::max_align_t)
                                                                              : sizeof(std::size_t);
constexpr std::size_t kMaxBlock = static_cast<std::size_t>(-1) / 2;

std::size_t* HeaderOf(void* block) {
  return reinterpret_cast<std::size_t*>(static_cast<char*>(block) - kHeader);
}

std::atomic<OutOfMemoryReporter> g_reporter{nullptr};

void SystemModalError(const char* text) {
  if (OutOfMemoryReporter reporter = g_reporter.load()) {
    reporter(text);
  } else {
    std::fprintf(stderr, "%s\n", text);
  }
}
}  // namespace

void SetOutOfMemoryReporter(OutOfMemoryReporter reporter) { g_reporter.store(reporter); }

void ReportOutOfMemory() { SystemModalError("Memory allocation failed: not enough memory !"); }

void* MyAlloc(std::size_t size) {
  if (size > kMaxBlock) {
    ReportOutOfMemory();
    return nullptr;
  }
  void* raw = std::calloc(1, size + kHeader);
  if (raw == nullptr) {
    ReportOutOfMemory();
    return nullptr;
  }
  *static_cast<std::size_t*>(raw) = size;
  return static_cast<char*>(raw) + kHeader;
}

void* MyReAlloc(void* block, std::size_t size) {
  if (block == nullptr) return MyAlloc(size);
  if (size > kMaxBlock) {
    SystemModalError("Memory reallocation failed: not enough memory !");
    return nullptr;
  }
  std::size_t old = *HeaderOf(block);
  void* raw = std::realloc(HeaderOf(block), size + kHeader);
  if (raw == nullptr) {
    SystemModalError("Memory reallocation failed: not enough memory !");
    return nullptr;
  }
  *static_cast<std::size_t*>(raw) = size;
  char* data = static_cast<char*>(raw) + kHeader;
  if (size > old) std::memset(data + old, 0, size - old);
  return data;
}

void MyFree(void* block) {
  if (block == nullptr) return;
  std::free(HeaderOf(block));
}

std::size_t MySize(void* block) {
  if (block == nullptr) return 0;
  return *HeaderOf(block);
}

void PrepareHeapForLoading() {
#if defined(__GLIBC__)
  static std::once_flag once;
  std::call_once(once, [] { mallopt(M_TOP_PAD, 16 << 20); });
#endif
}
