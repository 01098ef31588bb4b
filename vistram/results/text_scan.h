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
}  // namespace text_scan_detail

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
