// Small, allocation-free text helpers of the report readers: upper-casing
// into a caller's buffer and substring tests over a known length.
#pragma once
#include <cstddef>
#include <cstring>

namespace text_scan_detail {
struct UpperTable {
  unsigned char map[256];
  constexpr UpperTable() : map() {
    for (int i = 0; i < 256; ++i) map[i] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 32 : i);
  }
};
inline constexpr UpperTable kUpper{};
struct LetterTable {
  unsigned char map[256];
  constexpr LetterTable() : map() {
    for (int i = 0; i < 256; ++i) map[i] = (i >= 'A' && i <= 'Z') || (i >= 'a' && i <= 'z') ? 1 : 0;
  }
};
inline constexpr LetterTable kLetter{};
}  // namespace text_scan_detail

// Character classes that the keyword tests look for; a line's classes are
// gathered while it is upper-cased, so that a keyword test is only made when
// the line can hold the keyword.
enum CharClass : unsigned {
  kHasColon = 1,  // ':'
  kHasLess = 2,   // '<'
  kHasEqual = 4,  // '='
  kHasBlank = 8,  // ' '
  kHasU = 16,     // 'U' or 'u'
  kHasNul = 32,   // a NUL byte
};

namespace text_scan_detail {
struct ClassTable {
  unsigned char map[256];
  constexpr ClassTable() : map() {
    map[static_cast<unsigned char>(':')] = kHasColon;
    map[static_cast<unsigned char>('<')] = kHasLess;
    map[static_cast<unsigned char>('=')] = kHasEqual;
    map[static_cast<unsigned char>(' ')] = kHasBlank;
    map[static_cast<unsigned char>('U')] = kHasU;
    map[static_cast<unsigned char>('u')] = kHasU;
    map[0] = kHasNul;
  }
};
inline constexpr ClassTable kClasses{};
}  // namespace text_scan_detail

// UpperCopy that also returns the CharClass bits of the bytes copied.
inline unsigned UpperCopyClasses(char* dst, const char* src, std::size_t n) {
  unsigned classes = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(src[i]);
    classes |= text_scan_detail::kClasses.map[c];
    dst[i] = static_cast<char>(text_scan_detail::kUpper.map[c]);
  }
  return classes;
}

// Copies n bytes of src into dst (which may be src) in ASCII upper case.
inline void UpperCopy(char* dst, const char* src, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    dst[i] = static_cast<char>(text_scan_detail::kUpper.map[static_cast<unsigned char>(src[i])]);
}

inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// True when the m bytes of `needle` occur in the n bytes at `hay`.
inline bool ContainsBytes(const char* hay, std::size_t n, const char* needle, std::size_t m) {
  if (m == 0) return true;
  if (m > n) return false;
  const char first = needle[0];
  const char* p = hay;
  const char* last = hay + (n - m);
  while (p <= last) {
    p = static_cast<const char*>(std::memchr(p, first, static_cast<std::size_t>(last - p) + 1));
    if (p == nullptr) return false;
    if (std::memcmp(p + 1, needle + 1, m - 1) == 0) return true;
    ++p;
  }
  return false;
}

template <std::size_t N>
inline bool Contains(const char* hay, std::size_t n, const char (&literal)[N]) {
  return ContainsBytes(hay, n, literal, N - 1);
}
