#include "vistram/base/temp_files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

std::string TemporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

PrivateFolder::PrivateFolder(std::string_view prefix, const std::string& parent) {
  if (parent.empty()) return;
  std::string pattern = parent;
  if (pattern.back() != '/') pattern += '/';
  pattern.append(prefix).append("XXXXXX");
  if (::mkdtemp(pattern.data()) != nullptr) path_ = std::move(pattern);
}

PrivateFolder::~PrivateFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string PrivateFolder::FilePath(std::string_view name) const {
  if (path_.empty()) return {};
  return path_ + "/" + std::string(name);
}

bool EnsurePrivateFolder(const std::string& path) {
  return (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) && IsPrivateFolder(path);
}

bool IsPrivateFolder(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & 077) == 0;
}

int OpenUniqueFile(std::string_view start, std::string_view suffix, std::string& path) {
  path.clear();
  std::string pattern(start);
  pattern.append("XXXXXX").append(suffix);
  const int fd = ::mkostemps(pattern.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
  if (fd >= 0) path = std::move(pattern);
  return fd;
}

int CreatePrivateFile(const std::string& path) {
  return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

bool WritePrivateFile(const std::string& path, std::string_view bytes, bool replace) {
  const int fd = replace ? ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600)
                         : CreatePrivateFile(path);
  if (fd < 0) return false;
  bool ok = true;
  while (ok && !bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  if (::close(fd) != 0) ok = false;
  if (!ok) ::unlink(path.c_str());
  return ok;
}
