// The readers under fuzzing take a file path: every input is written to one
// anonymous in-memory file per process, named by its /proc/self/fd path, and
// the platform answering the readers' message boxes is a recording one that
// forgets what it recorded after each input.
#pragma once
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "vistram/platform/recording_platform.h"

class FuzzInputFile {
 public:
  FuzzInputFile() {
    fd_ = memfd_create("vistram-fuzz", 0);
    if (fd_ < 0) {
      std::perror("memfd_create");
      std::abort();
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
    SetCurrentPlatform(&platform_);
  }
  // Replaces the file's content with the input; returns its path.
  const std::string& Write(const std::uint8_t* data, std::size_t size) {
    platform_.Clear();
    if (ftruncate(fd_, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
      if (n <= 0) std::abort();
      done += static_cast<std::size_t>(n);
    }
    return path_;
  }

 private:
  int fd_ = -1;
  std::string path_;
  RecordingPlatform platform_;
};

inline FuzzInputFile& InputFile() {
  static FuzzInputFile file;
  return file;
}
