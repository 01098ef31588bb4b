// Temporary names and private folders: the one place that makes them.
//
// Every name made here has a part drawn at random by the C library
// (mkdtemp, mkostemps), and the file or folder is created in the same call,
// so another user can neither guess the name beforehand nor put something
// there first. Files are made exclusively (O_EXCL) with mode 0600, folders
// with mode 0700; none of them is ever opened through a symbolic link.
#pragma once
#include <string>
#include <string_view>

// The system's temporary folder: $TMPDIR when set and not empty, else /tmp;
// without a trailing '/'.
std::string TemporaryFolder();

// A private folder "<parent>/<prefix>XXXXXX" (mode 0700, fresh random part),
// removed with everything it holds when the object goes.
class PrivateFolder {
 public:
  explicit PrivateFolder(std::string_view prefix, const std::string& parent = TemporaryFolder());
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // Empty when the folder could not be made.
  const std::string& Path() const { return path_; }
  // "<folder>/<name>"; empty when the folder could not be made.
  std::string FilePath(std::string_view name) const;

 private:
  std::string path_;
};

// True when `path` is the user's alone: a folder, not a symbolic link, owned
// by the user, with no access for anyone else.
bool IsPrivateFolder(const std::string& path);
// Makes the folder `path` (mode 0700) when it does not exist; true when it
// then is private as above. For the folders that must have a known name.
bool EnsurePrivateFolder(const std::string& path);

// Creates "<start>XXXXXX<suffix>" (`start` holds the folder, and may end in
// the beginning of a name) with a fresh random part: exclusively, mode 0600,
// close-on-exec. The descriptor, open for writing, and `path` set; -1 (errno
// kept, `path` empty) when it cannot be made.
int OpenUniqueFile(std::string_view start, std::string_view suffix, std::string& path);

// Opens the new file `path` for reading and writing: created exclusively
// (never over an existing file, nor through a link), mode 0600,
// close-on-exec. The descriptor, or -1 with errno set.
int CreatePrivateFile(const std::string& path);

// Writes `bytes` as the whole content of the private file `path` (mode 0600,
// never through a link). Made exclusively, unless `replace` lets an existing
// regular file be overwritten. False on any failure; a file partly written
// here is removed.
bool WritePrivateFile(const std::string& path, std::string_view bytes, bool replace = false);
