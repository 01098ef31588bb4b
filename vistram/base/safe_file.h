// Files that replace their target only once they are complete. A SafeFile
// writes into a temporary file made with mkstemp in the target's own folder
// (so the final rename never crosses file systems); Commit() flushes it to the
// disk and renames it over the target. Until then the previous file stays as
// it was, and a SafeFile that is dropped without Commit() removes its
// temporary file: a failed save never leaves a half-written file behind.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

class SafeFile {
 public:
  SafeFile() = default;
  ~SafeFile();
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;
  SafeFile(SafeFile&& other) noexcept;
  SafeFile& operator=(SafeFile&& other) noexcept;

  // Creates the temporary file for `target`. False (and nothing created) when
  // the folder cannot take it. The new file gets the permissions of the file
  // it replaces, or those the user's umask gives to a new file.
  bool Open(const std::string& target);
  // The stream to write into; null when not open.
  std::FILE* Stream() const { return file_; }
  const std::string& Target() const { return target_; }
  // Makes a write error sticky (a writer that detects one itself calls it).
  void MarkFailed() { failed_ = true; }
  // Flushes and closes the temporary file; false when anything written to it
  // failed (the temporary file is then removed).
  bool Finish();
  // Moves the finished temporary file over the target. False on failure (the
  // temporary file is removed, the target left as it was).
  bool Rename();
  // Finish() then Rename().
  bool Commit();
  // Closes and removes the temporary file; the target is untouched.
  void Abort();

 private:
  std::FILE* file_ = nullptr;
  std::string target_;
  std::string tempPath_;
  bool failed_ = false;
  bool finished_ = false;
};

// Commits a group of files as one: every file is finished first, and only
// when all of them are complete are they renamed into place. On any failure
// every temporary file is removed and any target already renamed in this call
// is removed again, so that either all the files exist or none of this
// group's does. True when all were committed.
bool CommitAll(std::vector<SafeFile*> files);
