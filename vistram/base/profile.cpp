#include "vistram/base/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vistram/base/safe_file.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(const std::string& s, std::size_t from, std::size_t to) {
  while (from < to && IsBlank(s[from])) ++from;
  return from;
}

std::size_t TrimEnd(const std::string& s, std::size_t from, std::size_t to) {
  while (to > from && IsBlank(s[to - 1])) --to;
  return to;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool ValidName(std::string_view name) {
  name = Trimmed(name);
  if (name.empty()) return false;
  for (char c : name) {
    if (c == '\n' || c == '\r' || c == '[' || c == ']' || c == '=') return false;
  }
  return true;
}

}  // namespace

bool ProfileFile::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Parse({});
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) {
    Parse({});
    return false;
  }
  Parse(std::move(buffer).str());
  return true;
}

void ProfileFile::Parse(std::string text) {
  text_ = std::move(text);
  Index();
}

void ProfileFile::Index() {
  lines_.clear();
  // A UTF-8 byte order mark, as some editors write it, is not part of the first line.
  std::size_t pos = text_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  const std::size_t size = text_.size();
  while (pos < size) {
    Line line;
    line.begin = pos;
    std::size_t nl = text_.find('\n', pos);
    if (nl == std::string::npos) {
      line.end = size;
      line.next = size;
    } else {
      line.end = nl;
      line.next = nl + 1;
    }
    if (line.end > line.begin && text_[line.end - 1] == '\r') --line.end;
    std::size_t first = SkipBlanks(text_, line.begin, line.end);
    std::size_t last = TrimEnd(text_, first, line.end);
    if (first < last && text_[first] == '[') {
      std::size_t close = text_.find(']', first);
      if (close != std::string::npos && close < last) {
        std::size_t nb = SkipBlanks(text_, first + 1, close);
        std::size_t ne = TrimEnd(text_, nb, close);
        line.kind = Line::Section;
        line.name = text_.substr(nb, ne - nb);
      }
    } else if (first < last && text_[first] != ';' && text_[first] != '#') {
      std::size_t eq = text_.find('=', first);
      if (eq != std::string::npos && eq < last) {
        std::size_t ne = TrimEnd(text_, first, eq);
        if (ne > first) {
          line.kind = Line::Key;
          line.name = text_.substr(first, ne - first);
          line.valueBegin = SkipBlanks(text_, eq + 1, last);
          line.valueEnd = last < line.valueBegin ? line.valueBegin : last;
          // An empty value: a new one goes after the blanks that follow '='.
          if (line.valueBegin == line.valueEnd) line.valueBegin = line.valueEnd = SkipBlanks(text_, eq + 1, line.end);
        }
      }
    }
    lines_.push_back(std::move(line));
    pos = lines_.back().next;
  }
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
  section = Trimmed(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Section && SameName(lines_[i].name, section)) return i;
  }
  return std::string::npos;
}

std::size_t ProfileFile::FindKey(std::size_t sectionLine, std::string_view key) const {
  key = Trimmed(key);
  for (std::size_t i = sectionLine + 1; i < lines_.size() && lines_[i].kind != Line::Section; ++i) {
    if (lines_[i].kind == Line::Key && SameName(lines_[i].name, key)) return i;
  }
  return std::string::npos;
}

std::string_view ProfileFile::LineEnding() const {
  std::size_t nl = text_.find('\n');
  if (nl != std::string::npos && nl > 0 && text_[nl - 1] == '\r') return "\r\n";
  return "\n";
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                   std::size_t bufferSize) const {
  if (bufferSize == 0) return {};
  std::string value(defaultValue);
  std::size_t s = FindSection(section);
  if (s != std::string::npos) {
    std::size_t k = FindKey(s, key);
    if (k != std::string::npos) {
      value = text_.substr(lines_[k].valueBegin, lines_[k].valueEnd - lines_[k].valueBegin);
    }
  }
  if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
  return value;
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
  std::size_t s = FindSection(section);
  if (s == std::string::npos) return defaultValue;
  std::size_t k = FindKey(s, key);
  if (k == std::string::npos) return defaultValue;
  std::size_t p = lines_[k].valueBegin;
  const std::size_t end = lines_[k].valueEnd;
  bool negative = false;
  if (p < end && (text_[p] == '-' || text_[p] == '+')) {
    negative = text_[p] == '-';
    ++p;
  }
  long long n = 0;
  while (p < end && text_[p] >= '0' && text_[p] <= '9') {
    n = n * 10 + (text_[p] - '0');
    if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
    ++p;
  }
  if (negative) n = -n;
  if (n > INT_MAX) n = INT_MAX;
  return static_cast<int>(n);
}

bool ProfileFile::HasKey(std::string_view section, std::string_view key) const {
  std::size_t s = FindSection(section);
  return s != std::string::npos && FindKey(s, key) != std::string::npos;
}

std::vector<std::string> ProfileFile::GetSection(std::string_view section) const {
  std::vector<std::string> out;
  std::size_t s = FindSection(section);
  if (s == std::string::npos) return out;
  for (std::size_t i = s + 1; i < lines_.size() && lines_[i].kind != Line::Section; ++i) {
    const Line& l = lines_[i];
    if (l.kind != Line::Key) continue;
    out.push_back(l.name + "=" + text_.substr(l.valueBegin, l.valueEnd - l.valueBegin));
  }
  return out;
}

bool ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (!ValidName(section) || !ValidName(key)) return false;
  if (value.find_first_of("\r\n") != std::string_view::npos) return false;
  section = Trimmed(section);
  key = Trimmed(key);
  const std::string eol(LineEnding());
  std::size_t s = FindSection(section);
  if (s == std::string::npos) {
    std::string add;
    if (!text_.empty() && text_.back() != '\n') add += eol;
    add.append("[").append(section).append("]").append(eol);
    add.append(key).append("=").append(value).append(eol);
    text_ += add;
  } else {
    std::size_t k = FindKey(s, key);
    if (k != std::string::npos) {
      text_.replace(lines_[k].valueBegin, lines_[k].valueEnd - lines_[k].valueBegin, value);
    } else {
      // After the section's last key line (or its header when it has none),
      // so that blank lines and comments before the next section stay there.
      std::size_t after = s;
      for (std::size_t i = s + 1; i < lines_.size() && lines_[i].kind != Line::Section; ++i) {
        if (lines_[i].kind == Line::Key) after = i;
      }
      const Line& l = lines_[after];
      std::string add = std::string(key) + "=" + std::string(value);
      if (l.next == l.end) {
        text_.insert(l.next, eol + add);  // the last line of the file had no line end
      } else {
        text_.insert(l.next, add + eol);
      }
    }
  }
  Index();
  return true;
}

bool ProfileFile::Save(const std::string& path) const { return WriteFileSafely(path, text_); }

std::string GetProfileString(const std::string& path, std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::size_t bufferSize) {
  ProfileFile file;
  file.Load(path);
  return file.GetString(section, key, defaultValue, bufferSize);
}

int GetProfileInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue) {
  ProfileFile file;
  file.Load(path);
  return file.GetInt(section, key, defaultValue);
}

std::vector<std::string> GetProfileSection(const std::string& path, std::string_view section) {
  ProfileFile file;
  file.Load(path);
  return file.GetSection(section);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  ProfileFile file;
  if (!file.Load(path)) {
    // A file that exists but cannot be read is not replaced.
    std::error_code ec;
    if (std::filesystem::exists(path, ec) || ec) return false;
  }
  if (!file.Set(section, key, value)) return false;
  return file.Save(path);
}
