// The profile (INI) file: the configuration file's format.
//
// A line "[name]" opens a section; a line "key=value" defines a key of the
// current section. Section and key names match without regard to case, and
// blanks around names and values are ignored; lines starting with ';' or '#'
// and lines of any other form are kept as they are but mean nothing. When a
// section or key appears twice, the first one counts.
//
// A write changes one key and keeps every other byte of the file: it replaces
// the value of an existing key, or adds the key at the end of its section, or
// adds the section at the end of the file. The new file is written beside the
// old one and renamed over it, so a failed write leaves the old file intact.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class ProfileFile {
 public:
  ProfileFile() = default;

  // Reads the file at `path`. False when it cannot be read; the object then
  // holds an empty file (every lookup yields its default) and a later Write
  // creates the file.
  bool Load(const std::string& path);
  // Reads the profile from a text (tests, or a file already in memory).
  void Parse(std::string text);

  // The value of section/key, or `defaultValue` when the section or the key
  // is missing, cut to bufferSize - 1 characters (0: nothing is returned).
  std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                        std::size_t bufferSize) const;
  // The leading decimal number of the value (optional blanks and sign, then
  // digits; 0 when there are none), or `defaultValue` when the key is missing.
  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
  // True when the section holds the key (with any value, empty included).
  bool HasKey(std::string_view section, std::string_view key) const;
  // Every key line of the section as "key=value", in file order.
  std::vector<std::string> GetSection(std::string_view section) const;

  // Changes section/key in memory (see the file comment); false when a name
  // or the value holds a line break, or a name is empty or holds a bracket or '='.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  // Writes the text to `path` through SafeFile (a write-protected file is
  // refused, a link written through). False when anything fails.
  bool Save(const std::string& path) const;

  const std::string& Text() const { return text_; }

 private:
  struct Line {
    std::size_t begin = 0;     // offset of the line in text_
    std::size_t end = 0;       // offset of the line end (before CR LF / LF)
    std::size_t next = 0;      // offset of the next line
    enum Kind { Other, Section, Key } kind = Other;
    std::string name;          // section or key name, trimmed
    std::size_t valueBegin = 0, valueEnd = 0;  // value offsets (Key lines), trimmed
  };
  void Index();
  // Index into lines_ of the first "[section]" line, or npos.
  std::size_t FindSection(std::string_view section) const;
  std::size_t FindKey(std::size_t sectionLine, std::string_view key) const;
  std::string_view LineEnding() const;

  std::string text_;
  std::vector<Line> lines_;
};

// One-call forms over a file, as every feature reads its settings.
std::string GetProfileString(const std::string& path, std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::size_t bufferSize);
int GetProfileInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue);
std::vector<std::string> GetProfileSection(const std::string& path, std::string_view section);
// Reads the file (missing: empty), changes one key and writes it back. False on failure.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);
