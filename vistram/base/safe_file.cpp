#include "vistram/base/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

namespace {

// The umask of the process, read without changing it (umask() would be a
// race with other threads creating files).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
  }
  return 022;
}

}  // namespace

SafeFile::~SafeFile() { Abort(); }

SafeFile::SafeFile(SafeFile&& other) noexcept { *this = std::move(other); }

SafeFile& SafeFile::operator=(SafeFile&& other) noexcept {
  if (this != &other) {
    Abort();
    file_ = std::exchange(other.file_, nullptr);
    target_ = std::move(other.target_);
    tempPath_ = std::exchange(other.tempPath_, std::string());
    failed_ = other.failed_;
    finished_ = other.finished_;
  }
  return *this;
}

bool SafeFile::Open(const std::string& target) {
  Abort();
  if (target.empty()) return false;
  target_ = target;
  // Saving over a symbolic link replaces the file it points to, not the link.
  struct stat link {};
  if (lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    if (char* real = realpath(target.c_str(), nullptr)) {
      target_ = real;
      std::free(real);
    }
  }
  failed_ = false;
  finished_ = false;
  std::string folder;
  std::string name;
  auto slash = target_.find_last_of('/');
  if (slash != std::string::npos) {
    folder = target_.substr(0, slash + 1);
    name = target_.substr(slash + 1);
  } else {
    name = target_;
  }
  if (name.empty()) return false;
  std::string pattern = folder + "." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  int fd = mkstemp(buffer.data());
  if (fd < 0) return false;
  tempPath_.assign(buffer.data());

  struct stat existing {};
  mode_t mode = 0;
  if (stat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    mode = existing.st_mode & 07777;
  } else {
    mode = static_cast<mode_t>(0666 & ~CurrentUmask());
  }
  if (fchmod(fd, mode) != 0) {
    // The file stays readable by its owner; not a reason to fail the save.
  }
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    unlink(tempPath_.c_str());
    tempPath_.clear();
    return false;
  }
  return true;
}

bool SafeFile::Finish() {
  if (finished_) return !tempPath_.empty();
  if (file_ == nullptr) return false;
  bool ok = !failed_;
  if (std::fflush(file_) != 0 || std::ferror(file_) != 0) ok = false;
  if (ok && fsync(fileno(file_)) != 0) ok = false;
  if (std::fclose(file_) != 0) ok = false;
  file_ = nullptr;
  finished_ = true;
  if (!ok) {
    unlink(tempPath_.c_str());
    tempPath_.clear();
  }
  return ok;
}

bool SafeFile::Rename() {
  if (!finished_ || tempPath_.empty()) return false;
  if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
    unlink(tempPath_.c_str());
    tempPath_.clear();
    return false;
  }
  tempPath_.clear();
  return true;
}

bool SafeFile::Commit() { return Finish() && Rename(); }

void SafeFile::Abort() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!tempPath_.empty()) {
    unlink(tempPath_.c_str());
    tempPath_.clear();
  }
  finished_ = false;
}

bool CommitAll(std::vector<SafeFile*> files) {
  bool ok = true;
  for (SafeFile* f : files) {
    if (f == nullptr || !f->Finish()) ok = false;
  }
  if (!ok) {
    for (SafeFile* f : files) {
      if (f != nullptr) f->Abort();
    }
    return false;
  }
  std::vector<const SafeFile*> renamed;
  for (SafeFile* f : files) {
    if (!f->Rename()) {
      for (const SafeFile* done : renamed) unlink(done->Target().c_str());
      for (SafeFile* g : files) g->Abort();
      return false;
    }
    renamed.push_back(f);
  }
  return true;
}
