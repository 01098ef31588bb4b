// Zero-filling memory wrappers for the buffers handed across a boundary
// (parser work buffers, C-style blocks). Every failure is shown to the user
// (through the reporter that the platform layer installs: a system-modal
// message box), then the caller sees the null result.
#pragma once
#include <cstddef>

// A zero-filled block of `size` bytes, or null after telling the user.
void* MyAlloc(std::size_t size);
// Resizes `block`; bytes beyond the old size are zero-filled. Null after
// telling the user; `block` then stays valid.
void* MyReAlloc(void* block, std::size_t size);
// Frees a block of MyAlloc/MyReAlloc; null is ignored.
void MyFree(void* block);
// The usable size of a block (the size asked for); 0 for null.
std::size_t MySize(void* block);

// Reports the exhaustion of memory as the wrappers do; used where an
// allocation made by a container (std::bad_alloc) is caught.
void ReportOutOfMemory();
// Who tells the user; without one the message goes to standard error.
using OutOfMemoryReporter = void (*)(const char* text);
void SetOutOfMemoryReporter(OutOfMemoryReporter reporter);

// Readies the heap for loading reports, once per process. A large report is
// a hundred megabytes of records allocated in small blocks by two threads;
// glibc grows a thread's heap by the block asked plus a pad of 128 KB, and
// every growth changes the process's mappings under a lock that the other
// thread's page faults wait on. A 16 MB pad makes growths rare. (Pages of the
// pad are not touched: the resident memory does not grow.)
void PrepareHeapForLoading();
