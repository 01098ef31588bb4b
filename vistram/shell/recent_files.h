// The "Recent files" list of the File menu and the sorting of files dropped
// on the main window. The list is kept in the user's configuration file,
// section RECENT_FILES, keys FILE1 (the latest) to FILE10; an entry is a
// command line as the main window takes it ("PATH", or "PATH {msf_file}"
// for an MSF file opened in the alignment editor).
#pragma once
#include <string>
#include <vector>

inline constexpr std::size_t kMaxRecentFiles = 10;
inline constexpr const char* kRecentSection = "RECENT_FILES";

// The entries of the configuration at `configPath`, latest first; empty
// values are skipped, at most kMaxRecentFiles.
std::vector<std::string> ReadRecentFiles(const std::string& configPath);
// `entry` put first (an equal entry further down removed), the list cut to
// kMaxRecentFiles. An empty entry or one holding a line break is not added.
std::vector<std::string> PushRecentFile(std::vector<std::string> list, const std::string& entry);
// Writes the list (FILE1..FILE10, unused keys emptied); false when the file
// cannot be written.
bool WriteRecentFiles(const std::string& configPath, const std::vector<std::string>& list);
// The text of a menu item: the entry without the MSF marker.
std::string RecentFileLabel(const std::string& entry);

// True for an MSF file: the name ends with ".msf" (any case), or its first
// 8 KiB hold a line with "MSF:" and "Check:" before the "//" line.
bool IsMsfFile(const std::string& path);
// The command line that opens a dropped file: MSF files go to the editor.
std::string DroppedFileCommandLine(const std::string& path);
