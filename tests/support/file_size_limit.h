#pragma once
// While a FileSizeLimit lives, no file of this process grows past `bytes`: a
// write beyond fails (EFBIG) as it does on a full disk.

#include <sys/resource.h>

#include <csignal>

namespace test_support {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    if (getrlimit(RLIMIT_FSIZE, &old_) != 0) return;
    rlimit limited = old_;
    limited.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
  }
  ~FileSizeLimit() {
    if (active_) setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool Active() const { return active_; }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = SIG_DFL;
  bool active_ = false;
};

}  // namespace test_support
