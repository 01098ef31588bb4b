// The one routine that writes every file of the program.
//
// A regular-file target is written into a temporary file made in the target's
// own folder (so the final rename never crosses file systems); Commit() checks
// every write, flushes it, syncs it to the disk and renames it over the target.
// Until then the previous file stays as it was, and a SafeFile dropped without
// Commit() removes its temporary file: a failed save never leaves a
// half-written file behind. The rules, as a shell redirect has them:
//  - an existing file keeps its mode (and, when allowed, its owner); a new one
//    gets the mode the umask gives;
//  - a symbolic link is written through: the file it names is replaced, the
//    link stays;
//  - a target the user may not write (mode 0444) is refused;
//  - a device, FIFO or socket target (a pipe given as /dev/stdout) is written
//    in place, with no temporary file and no rename;
//  - a folder is refused.
// Temporary names carry the writer's process id (".NAME.vistram-PID-XXXXXX");
// SIGINT, SIGTERM and SIGHUP remove the temporary files of the process, and
// opening a file in a folder removes the leftovers of processes that no longer
// run. Every failure leaves the old file untouched and says why (Error()).
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SafeFile {
 public:
  SafeFile();
  ~SafeFile();
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;
  SafeFile(SafeFile&& other) noexcept;
  SafeFile& operator=(SafeFile&& other) noexcept;

  // Prepares writing `target` (the temporary file, or the device opened in
  // place). False, with Error() set and nothing created, when it cannot be
  // written.
  bool Open(const std::string& target);
  // The stream to write into; null when not open. Every byte it passes on is
  // counted, and the first failure is kept with its reason.
  std::FILE* Stream() const { return file_; }
  // The file that is finally written (a symbolic link resolved).
  const std::string& Target() const { return target_; }
  // Why the last step failed; empty when nothing failed.
  const std::string& Error() const { return error_; }
  // True when the target is a device, FIFO or socket written in place.
  bool InPlace() const { return inPlace_; }
  // Writes `bytes` to the stream; false (and the failure kept) when not all
  // of them were taken.
  bool Write(std::string_view bytes);
  // Makes a write error sticky (a writer that detects one itself calls it).
  void MarkFailed();
  // Flushes, syncs and closes the file; false when anything written to it
  // failed (the temporary file is then removed).
  bool Finish();
  // Moves the finished temporary file over the target (nothing to do for a
  // target written in place). False on failure (the temporary file is
  // removed, the target left as it was).
  bool Rename();
  // Finish() then Rename().
  bool Commit();
  // Closes and removes the temporary file; the target is untouched.
  void Abort();

  struct Sink;  // the counting writer behind Stream()

 private:
  void Fail(const std::string& what, int error);
  void Forget();

  std::FILE* file_ = nullptr;
  std::unique_ptr<Sink> sink_;
  std::string target_;
  std::string tempPath_;
  std::string error_;
  bool failed_ = false;
  bool finished_ = false;
  bool inPlace_ = false;
  friend bool CommitAll(std::vector<SafeFile*> files, std::string* error);
};

// Commits a group of files as one (the four files of an HTML report): every
// file is finished first, and only when all of them are complete are they
// renamed into place, under a lock on each folder so that two groups written
// to the same names at once never mix. When a rename fails, the targets
// already replaced get their previous files back and new ones are removed:
// either every file is the new one or every file is as it was. True when all
// were committed; otherwise `error` (when given) says why.
bool CommitAll(std::vector<SafeFile*> files, std::string* error = nullptr);

// Writes `bytes` as the whole content of `target` through a SafeFile. False,
// with the reason in `error` (when given), on any failure.
bool WriteFileSafely(const std::string& target, std::string_view bytes, std::string* error = nullptr);
