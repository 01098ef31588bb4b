// A private working folder (mode 0700, made with mkdtemp in the system's
// temporary folder) for the files of one search window, removed with what it
// holds when the object goes.
#pragma once
#include <string>

class PrivateWorkFolder {
 public:
  PrivateWorkFolder();
  ~PrivateWorkFolder();
  PrivateWorkFolder(const PrivateWorkFolder&) = delete;
  PrivateWorkFolder& operator=(const PrivateWorkFolder&) = delete;

  // Empty when the folder could not be made.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};
