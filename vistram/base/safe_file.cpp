#include "vistram/base/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <utility>

#include "vistram/base/temp_files.h"

namespace {

constexpr char kMarker[] = ".vistram-";
// A temporary name keeps at most this much of the target's name, so that it
// stays within the file system's limit on one name.
constexpr std::size_t kNameKept = 160;

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

std::string Reason(const std::string& what, int error) {
  return error == 0 ? what : what + ": " + std::strerror(error);
}

// --- Temporary files removed by SIGINT, SIGTERM and SIGHUP ---------------
// The handler may only use async-signal-safe calls, so the paths live in
// fixed slots that it reads without locking.

constexpr int kSlots = 64;
constexpr std::size_t kSlotPath = 4096;
struct TempSlot {
  std::atomic<int> state{0};  // 0 free, 1 being filled, 2 holds a path
  char path[kSlotPath];
};
TempSlot g_slots[kSlots];

constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[3];

int RegisterTemp(const std::string& path) {
  if (path.size() >= kSlotPath) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = 0;
    if (g_slots[i].state.compare_exchange_strong(expected, 1)) {
      std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
      g_slots[i].state.store(2);
      return i;
    }
  }
  return -1;  // more files open at once than slots: that one is not cleaned
}

void UnregisterTemp(int slot) {
  if (slot >= 0) g_slots[slot].state.store(0);
}

void OnTerminatingSignal(int sig, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  for (TempSlot& s : g_slots) {
    if (s.state.load() == 2) ::unlink(s.path);
  }
  for (int i = 0; i < 3; ++i) {
    if (kCleanedSignals[i] != sig) continue;
    const struct sigaction& before = g_previous[i];
    if ((before.sa_flags & SA_SIGINFO) != 0 && before.sa_sigaction != nullptr) {
      before.sa_sigaction(sig, info, context);
    } else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
      before.sa_handler(sig);
    } else {
      // Default action: terminate, as if we had never been there.
      ::sigaction(sig, &before, nullptr);
      ::raise(sig);
    }
  }
  errno = savedErrno;
}

void InstallSignalCleanup() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int i = 0; i < 3; ++i) {
      struct sigaction current {};
      if (::sigaction(kCleanedSignals[i], nullptr, &current) != 0) continue;
      if ((current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_IGN) continue;  // nohup
      g_previous[i] = current;
      struct sigaction ours {};
      ours.sa_sigaction = OnTerminatingSignal;
      ours.sa_flags = SA_SIGINFO | SA_RESTART;
      sigemptyset(&ours.sa_mask);
      ::sigaction(kCleanedSignals[i], &ours, nullptr);
    }
  });
}

// Blocks the three signals while a group of files is renamed into place, so
// that the group is never left half replaced.
class SignalBlock {
 public:
  SignalBlock() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kCleanedSignals) sigaddset(&set, s);
    pthread_sigmask(SIG_BLOCK, &set, &old_);
  }
  ~SignalBlock() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
  SignalBlock(const SignalBlock&) = delete;
  SignalBlock& operator=(const SignalBlock&) = delete;

 private:
  sigset_t old_;
};

// --- Names -------------------------------------------------------------

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a chain of symbolic links ends at (which need not exist yet).
std::string ThroughLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::vector<char> buffer(static_cast<std::size_t>(std::max<off_t>(st.st_size, 255)) + 2);
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    if (n <= 0) break;
    std::string next(buffer.data(), static_cast<std::size_t>(n));
    path = next.front() == '/' ? next : FolderOf(path) + next;
  }
  return path;
}

// The process id in a temporary name of ours (".NAME.vistram-PID-XXXXXX"),
// or 0 when the name is not one.
pid_t WriterOf(const std::string& name) {
  if (name.empty() || name.front() != '.') return 0;
  const auto at = name.rfind(kMarker);
  if (at == std::string::npos) return 0;
  std::size_t i = at + sizeof kMarker - 1;
  long long pid = 0;
  const std::size_t digits = i;
  while (i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < (1LL << 31)) {
    pid = pid * 10 + (name[i] - '0');
    ++i;
  }
  if (i == digits || i >= name.size() || name[i] != '-' || pid <= 0 || pid >= (1LL << 31)) return 0;
  return static_cast<pid_t>(pid);
}

bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// Removes the temporary files that processes which no longer run left in
// `folder` (killed before they could clean up). Only regular files of the
// current user are touched.
void RemoveLeftovers(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    const pid_t writer = WriterOf(name);
    if (writer == 0 || writer == self || ProcessRuns(writer)) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    ::unlinkat(::dirfd(dir), name.c_str(), 0);
  }
  ::closedir(dir);
}

}  // namespace

// --- The counting writer behind Stream() -----------------------------------

struct SafeFile::Sink {
  int fd = -1;
  int error = 0;  // errno of the first failed write
  int slot = -1;  // the temporary file's signal-cleanup slot
};

namespace {

ssize_t SinkWrite(void* cookie, const char* data, std::size_t size) {
  auto* sink = static_cast<SafeFile::Sink*>(cookie);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(sink->fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (sink->error == 0) sink->error = n < 0 ? errno : EIO;
      return 0;  // the stream's error; a cookie writer must never return -1
    }
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(size);
}

int SinkClose(void* cookie) {
  auto* sink = static_cast<SafeFile::Sink*>(cookie);
  const int result = ::close(sink->fd);
  if (result != 0 && sink->error == 0) sink->error = errno;
  sink->fd = -1;
  return result;
}

}  // namespace

SafeFile::SafeFile() : sink_(std::make_unique<Sink>()) {}

SafeFile::~SafeFile() { Abort(); }

SafeFile::SafeFile(SafeFile&& other) noexcept : sink_(std::make_unique<Sink>()) { *this = std::move(other); }

SafeFile& SafeFile::operator=(SafeFile&& other) noexcept {
  if (this != &other) {
    Abort();
    file_ = std::exchange(other.file_, nullptr);
    std::swap(sink_, other.sink_);
    target_ = std::move(other.target_);
    tempPath_ = std::exchange(other.tempPath_, std::string());
    error_ = std::move(other.error_);
    failed_ = other.failed_;
    finished_ = other.finished_;
    inPlace_ = other.inPlace_;
  }
  return *this;
}

void SafeFile::Fail(const std::string& what, int error) {
  failed_ = true;
  if (error_.empty()) error_ = Reason(what, error);
}

void SafeFile::MarkFailed() { Fail("writing " + target_ + " failed", 0); }

bool SafeFile::Open(const std::string& target) {
  Abort();
  error_.clear();
  failed_ = false;
  finished_ = false;
  inPlace_ = false;
  target_ = target;
  if (target.empty()) {
    Fail("no file name given", 0);
    return false;
  }
  InstallSignalCleanup();
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) {
    Fail("cannot write " + target, errno);
    return false;
  }
  if (exists && S_ISDIR(existing.st_mode)) {
    Fail("cannot write " + target, EISDIR);
    return false;
  }
  int fd = -1;
  if (exists && !S_ISREG(existing.st_mode)) {
    // A device, FIFO or socket (a pipe named /dev/stdout): written in place,
    // as a shell redirect would.
    fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
      Fail("cannot write " + target, errno);
      return false;
    }
    inPlace_ = true;
  } else {
    target_ = ThroughLinks(target);
    if (exists && ::access(target_.c_str(), W_OK) != 0) {
      Fail("cannot write " + target, errno);  // write-protected, as a shell redirect refuses
      return false;
    }
    const std::string folder = FolderOf(target_);
    const std::string name = NameOf(target_);
    if (name.empty()) {
      Fail("cannot write " + target, EISDIR);
      return false;
    }
    RemoveLeftovers(folder);
    fd = OpenUniqueFile(folder + "." + name.substr(0, kNameKept) + kMarker + std::to_string(::getpid()) + "-", "",
                        tempPath_);
    if (fd < 0) {
      Fail("cannot write " + target, errno);
      return false;
    }
    sink_->slot = RegisterTemp(tempPath_);
    mode_t mode = static_cast<mode_t>(0666 & ~CurrentUmask());
    if (exists) {
      mode = existing.st_mode & 07777;
      if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
        // Keep the owner where allowed (root saving a user's file).
        [[maybe_unused]] const int kept = ::fchown(fd, existing.st_uid, existing.st_gid);
      }
    }
    // A file system without permissions refuses this; the file stays the
    // owner's, which is not a reason to fail the save.
    [[maybe_unused]] const int changed = ::fchmod(fd, mode);
  }
  sink_->fd = fd;
  sink_->error = 0;
  cookie_io_functions_t io{};
  io.write = SinkWrite;
  io.close = SinkClose;
  file_ = ::fopencookie(sink_.get(), "w", io);
  if (file_ == nullptr) {
    const int error = errno;
    ::close(fd);
    sink_->fd = -1;
    Abort();
    Fail("cannot write " + target, error);
    return false;
  }
  return true;
}

bool SafeFile::Write(std::string_view bytes) {
  if (file_ == nullptr) {
    Fail("writing " + target_ + " failed: not open", 0);
    return false;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    Fail("writing " + target_ + " failed", sink_->error);
    return false;
  }
  return true;
}

bool SafeFile::Finish() {
  if (finished_) return !failed_ && (inPlace_ || !tempPath_.empty());
  if (file_ == nullptr) {
    Fail("writing " + target_ + " failed: not open", 0);
    return false;
  }
  const std::string writing = "writing " + target_ + " failed";
  if (std::fflush(file_) != 0 || std::ferror(file_) != 0) Fail(writing, sink_->error);
  // fsync means nothing to a pipe or terminal; it is checked for files only.
  if (!failed_ && !inPlace_ && ::fsync(sink_->fd) != 0) Fail(writing, errno);
  if (std::fclose(file_) != 0) Fail(writing, sink_->error);
  file_ = nullptr;
  finished_ = true;
  if (failed_) {
    Forget();
    return false;
  }
  return true;
}

void SafeFile::Forget() {
  if (!tempPath_.empty()) {
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
  }
  UnregisterTemp(sink_->slot);
  sink_->slot = -1;
}

bool SafeFile::Rename() {
  if (!finished_ || failed_) return false;
  if (inPlace_) return true;
  if (tempPath_.empty()) return false;
  if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
    Fail("cannot replace " + target_, errno);
    Forget();
    return false;
  }
  tempPath_.clear();
  Forget();
  return true;
}

bool SafeFile::Commit() { return Finish() && Rename(); }

void SafeFile::Abort() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  Forget();
  finished_ = false;
}

namespace {

// Exclusive flock on each folder of a group, released when dropped.
class FolderLocks {
 public:
  bool Take(const std::string& folder, std::string& error) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      error = Reason("cannot lock " + folder, errno);
      return false;
    }
    fds_.push_back(fd);
    while (::flock(fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        error = Reason("cannot lock " + folder, errno);
        return false;
      }
    }
    return true;
  }
  ~FolderLocks() {
    for (int fd : fds_) ::close(fd);  // closing releases the lock
  }

 private:
  std::vector<int> fds_;
};

// One target of a group being renamed: the old file is kept under a
// temporary name until the whole group is in place.
struct Replaced {
  std::string target;
  std::string backup;  // empty when there was no old file
};

void PutBack(const std::vector<Replaced>& done) {
  for (auto it = done.rbegin(); it != done.rend(); ++it) {
    if (it->backup.empty()) {
      ::unlink(it->target.c_str());
    } else {
      // The backup is a second link to the old file (or the old file itself
      // when the file system has no links): either way it goes back.
      std::rename(it->backup.c_str(), it->target.c_str());
      ::unlink(it->backup.c_str());
    }
  }
}

}  // namespace

bool CommitAll(std::vector<SafeFile*> files, std::string* error) {
  std::string why;
  const auto fail = [&]() {
    for (SafeFile* f : files) {
      if (f != nullptr) f->Abort();
    }
    if (error != nullptr) *error = why;
    return false;
  };
  for (SafeFile* f : files) {
    if (f == nullptr) {
      why = "no file given";
      return fail();
    }
    if (!f->Finish()) {
      why = f->Error();
      return fail();
    }
  }
  std::vector<std::string> folders;
  for (SafeFile* f : files) {
    if (!f->InPlace()) folders.push_back(FolderOf(f->Target()));
  }
  std::sort(folders.begin(), folders.end());
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  FolderLocks locks;
  for (const std::string& folder : folders) {
    if (!locks.Take(folder, why)) return fail();
  }
  SignalBlock blocked;
  std::vector<Replaced> done;
  for (SafeFile* f : files) {
    if (f->InPlace()) continue;
    Replaced step{f->Target(), {}};
    struct stat st {};
    if (::lstat(step.target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      step.backup = f->tempPath_ + "-old";
      if (::link(step.target.c_str(), step.backup.c_str()) != 0 &&
          std::rename(step.target.c_str(), step.backup.c_str()) != 0) {
        why = Reason("cannot keep the previous " + step.target, errno);
        PutBack(done);
        return fail();
      }
    }
    if (!f->Rename()) {
      why = f->Error();
      done.push_back(step);
      PutBack(done);
      return fail();
    }
    done.push_back(step);
  }
  for (const Replaced& r : done) {
    if (!r.backup.empty()) ::unlink(r.backup.c_str());
  }
  return true;
}

bool WriteFileSafely(const std::string& target, std::string_view bytes, std::string* error) {
  SafeFile file;
  const bool ok = file.Open(target) && file.Write(bytes) && file.Commit();
  if (!ok && error != nullptr) *error = file.Error();
  return ok;
}
