#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vistram/results/blast_reader.h"
#include "vistram/results/report_text.h"
#include "vistram/base/text_scan.h"

namespace blast_reader {

using report_text::IsSpace;
using report_text::WordAfter;

namespace {

// Reads a decimal integer as the standard formatted input does (optional
// sign, digits; the value clamped to int). False when no digit is there.
bool ReadInt(const char*& p, const char* end, int& value) {
  const char* q = p;
  bool negative = false;
  if (q < end && (*q == '+' || *q == '-')) negative = *q++ == '-';
  if (q >= end || *q < '0' || *q > '9') return false;
  long long v = 0;
  while (q < end && *q >= '0' && *q <= '9') {
    if (v < 10000000000LL) v = v * 10 + (*q - '0');
    ++q;
  }
  if (negative) v = -v;
  value = v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v));
  p = q;
  return true;
}

}  // namespace

BlockLine ParseBlockLine(const char* line, std::size_t len) {
  BlockLine b;
  const char* p = line;
  const char* end = line + len;
  while (p < end && IsSpace(*p)) ++p;
  while (p < end && !IsSpace(*p)) ++p;
  while (p < end && IsSpace(*p)) ++p;
  if (!ReadInt(p, end, b.start)) {
    b.start = 0;
    return b;
  }
  while (p < end && IsSpace(*p)) ++p;
  b.segment = p;
  p = FindWhiteSpace(p, end);
  b.segmentLength = static_cast<std::size_t>(p - b.segment);
  while (p < end && IsSpace(*p)) ++p;
  int number = 0;
  const bool hasEnd = ReadInt(p, end, number);
  if (hasEnd) b.printedEnd = number;
  while (p < end && IsSpace(*p)) ++p;
  if (b.segmentLength == 1 && *b.segment == '-' && hasEnd && p == end) {
    b.rangeOnly = true;
    b.segmentLength = 0;
  }
  return b;
}

// The integer literal after the last '(' of a line: decimal, octal when it
// begins with 0, hexadecimal with 0x. Reports print long queries with
// thousands separators ("(11,337 letters)"): a comma between digits is
// skipped, so that the whole number is read rather than its first group.
int IntegerAfterLastParen(const char* line) {
  const char* paren = std::strrchr(line, '(');
  if (paren == nullptr) return 0;
  char digits[64];
  std::size_t n = 0;
  for (const char* p = paren + 1; *p != '\0' && n + 1 < sizeof digits; ++p) {
    if (*p == ',' && n > 0 && digits[n - 1] >= '0' && digits[n - 1] <= '9' && p[1] >= '0' && p[1] <= '9') continue;
    digits[n++] = *p;
  }
  digits[n] = '\0';
  errno = 0;
  const long v = std::strtol(digits, nullptr, 0);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// The query's length line: "(N letters)", or WU-BLAST's "(N letters;
// record M)".
bool IsLettersLine(const char* up, std::size_t len) {
  return Contains(up, len, "LETTERS)") || Contains(up, len, "LETTERS; RECORD");
}

// The line starts (after blanks) with "LENGTH=": the BLAST+ length line.
bool IsPlusLengthLine(const char* up, std::size_t len) {
  std::size_t i = 0;
  while (i < len && (up[i] == ' ' || up[i] == '\t')) ++i;
  return len - i >= 7 && std::memcmp(up + i, "LENGTH=", 7) == 0;
}

int PlusLength(const char* up, std::size_t len) {
  const char* eq = static_cast<const char*>(std::memchr(up, '=', len));
  if (eq == nullptr) return 0;
  const char* p = eq + 1;
  const char* end = up + len;
  while (p < end && *p == ' ') ++p;
  long long v = 0;
  while (p < end && *p >= '0' && *p <= '9') {
    if (v < 10000000000LL) v = v * 10 + (*p - '0');
    ++p;
  }
  return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

// The query name of a "QUERY=" line (upper case): after the first '=' (in
// HTML with "</B>", after the '=' and the four characters of the tag), one
// character skipped, then blanks; up to the first control, blank or non-ASCII
// character.
std::string QueryName(std::string_view up, bool isHtml) {
  std::size_t p = up.find('=');
  if (p == std::string_view::npos) return {};
  ++p;
  if (isHtml && up.find("</B>") != std::string_view::npos) p += 4;
  p += 1;
  while (p < up.size() && up[p] == ' ') ++p;
  std::size_t q = p;
  while (q < up.size()) {
    const auto c = static_cast<unsigned char>(up[q]);
    if (c <= 32 || c >= 128) break;
    ++q;
  }
  if (p >= up.size()) return {};
  return std::string(up.substr(p, q - p));
}

// The database text: the "DATABASE:" line (upper case), "|", the next line
// without its leading blanks; the part after the first ':' (in HTML with
// "</B>", after the ':' and four more characters).
std::string DatabaseText(std::string_view upDatabaseLine, std::string_view nextLine, bool isHtml) {
  std::size_t i = 0;
  while (i < nextLine.size() && nextLine[i] == ' ') ++i;
  std::string joined;
  joined.reserve(upDatabaseLine.size() + 1 + nextLine.size());
  joined.append(upDatabaseLine);
  joined.push_back('|');
  joined.append(nextLine.substr(i));
  std::size_t p = joined.find(':');
  if (p == std::string::npos) return {};
  ++p;
  if (isHtml && joined.find("</B>") != std::string::npos) p += 4;
  if (p >= joined.size()) return {};
  std::string out;
  SetText(out, std::string_view(joined).substr(p), width::kDatabaseText);
  return out;
}

bool StartsWith(const char* up, std::size_t len, std::string_view word) {
  return len >= word.size() && std::memcmp(up, word.data(), word.size()) == 0;
}

// The web download's query line: "Query #1: title Query ID: id Length: n".
void ParseWebQuery(const char* up, std::size_t len, HeaderBlock& h) {
  const std::string_view line(up, len);
  const std::size_t id = line.find("QUERY ID:");
  if (id != std::string_view::npos) SetText(h.queryName, WordAfter(line, id + 9), width::kQueryName);
  const std::size_t length = line.rfind("LENGTH:");
  if (length != std::string_view::npos) {
    const std::string_view word = WordAfter(line, length + 7);
    h.queryLength = static_cast<int>(std::min<long>(std::strtol(std::string(word).c_str(), nullptr, 10), INT_MAX));
  }
  char text[64];
  std::snprintf(text, sizeof text, "(%u letters)", static_cast<unsigned>(h.queryLength));
  SetText(h.queryLengthText, text, width::kQueryLengthText);
}

// The web download writes "Score:161 bits(408), Expect:3e-48,": written
// here as the classic "SCORE = 161 BITS (408), EXPECT = 3E-48" so that the
// statistics read the same way.
std::string ClassicStats(const char* up, std::size_t len) {
  std::string out;
  std::size_t i = 0;
  while (i < len && up[i] == ' ') ++i;
  for (; i < len; ++i) {
    const char c = up[i];
    if (c == ':') {
      out += " = ";
    } else if (c == '(' && !out.empty() && out.back() != ' ') {
      out += " (";
    } else {
      out.push_back(c);
    }
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == ',' || out.back() == '\t')) out.pop_back();
  return out;
}

// A query line that opens a new query section: "QUERY=" at the line's
// start, after blanks and HTML tags ("<b>Query=</b> name"). (A link in a
// page may carry "query=" anywhere else.)
bool IsQueryLine(const char* up, std::size_t len) {
  std::size_t i = 0;
  for (;;) {
    while (i < len && (up[i] == ' ' || up[i] == '\t')) ++i;
    if (i < len && up[i] == '<') {
      const void* close = std::memchr(up + i, '>', len - i);
      if (close == nullptr) return false;
      i = static_cast<std::size_t>(static_cast<const char*>(close) - up) + 1;
      continue;
    }
    break;
  }
  return len - i >= 6 && std::memcmp(up + i, "QUERY=", 6) == 0;
}

// True when a keyword ending with ':' ("PARAMETERS:", "POSTED DATE:", and
// for BLAST+ "GAP PENALTIES:") occurs in the line: each ':' of the line is
// tested once, so an alignment line ("QUERY: 1 ...") costs one scan.
bool HasColonMarker(const char* up, std::size_t len, bool plus) {
  auto endsWith = [up](std::size_t colon, std::string_view word) {
    return colon >= word.size() && std::memcmp(up + colon - word.size(), word.data(), word.size()) == 0;
  };
  const char* p = up;
  const char* end = up + len;
  while ((p = static_cast<const char*>(std::memchr(p, ':', static_cast<std::size_t>(end - p)))) != nullptr) {
    const auto colon = static_cast<std::size_t>(p - up);
    if (endsWith(colon, "PARAMETERS") || endsWith(colon, "POSTED DATE") || (plus && endsWith(colon, "GAP PENALTIES")))
      return true;
    ++p;
  }
  return false;
}

}  // namespace blast_reader
