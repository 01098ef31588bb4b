// Small, allocation-free text helpers of the report readers: upper-casing
// into a caller's buffer and substring tests over a known length.
#pragma once
#include <cstddef>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The byte loops below run over every line of a report: where the machine
// has SSE2 (every x86-64) they take 16 bytes at a time, the rest of a line
// byte by byte; the results are the same either way.
namespace text_scan_detail {
inline unsigned ClassesOf(unsigned char c) { return kClasses.map[c]; }
inline char UpperOf(unsigned char c) { return static_cast<char>(kUpper.map[c]); }
#if defined(__SSE2__)
inline __m128i Load16(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store16(char* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i InRange16(__m128i v, char low, char high) {
  return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(low - 1))),
                       _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(high + 1))));
}
inline __m128i Upper16(__m128i v) { return _mm_sub_epi8(v, _mm_and_si128(InRange16(v, 'a', 'z'), _mm_set1_epi8(32))); }
inline bool Any(__m128i mask) { return _mm_movemask_epi8(mask) != 0; }
#endif
}  // namespace text_scan_detail

// Copies n bytes of src into raw and, in ASCII upper case, into up; returns
// the CharClass bits of the bytes.
inline unsigned CopyUpperClasses(char* raw, char* up, const char* src, std::size_t n) {
  using namespace text_scan_detail;
  unsigned classes = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  __m128i colon = _mm_setzero_si128(), less = colon, equal = colon, blank = colon, u = colon, nul = colon;
  for (; i + 16 <= n; i += 16) {
    const __m128i v = Load16(src + i);
    const __m128i upper = Upper16(v);
    Store16(raw + i, v);
    Store16(up + i, upper);
    colon = _mm_or_si128(colon, _mm_cmpeq_epi8(v, _mm_set1_epi8(':')));
    less = _mm_or_si128(less, _mm_cmpeq_epi8(v, _mm_set1_epi8('<')));
    equal = _mm_or_si128(equal, _mm_cmpeq_epi8(v, _mm_set1_epi8('=')));
    blank = _mm_or_si128(blank, _mm_cmpeq_epi8(v, _mm_set1_epi8(' ')));
    u = _mm_or_si128(u, _mm_cmpeq_epi8(upper, _mm_set1_epi8('U')));
    nul = _mm_or_si128(nul, _mm_cmpeq_epi8(v, _mm_setzero_si128()));
  }
  classes = (Any(colon) ? kHasColon : 0u) | (Any(less) ? kHasLess : 0u) | (Any(equal) ? kHasEqual : 0u) |
            (Any(blank) ? kHasBlank : 0u) | (Any(u) ? kHasU : 0u) | (Any(nul) ? kHasNul : 0u);
#endif
  for (; i < n; ++i) {
    const auto c = static_cast<unsigned char>(src[i]);
    classes |= ClassesOf(c);
    raw[i] = static_cast<char>(c);
    up[i] = UpperOf(c);
  }
  return classes;
}

// Copies n bytes of src into dst (which may be src) in ASCII upper case.
inline void UpperCopy(char* dst, const char* src, std::size_t n) {
  using namespace text_scan_detail;
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) Store16(dst + i, Upper16(Load16(src + i)));
#endif
  for (; i < n; ++i) dst[i] = UpperOf(static_cast<unsigned char>(src[i]));
}

// Upper-cases the n bytes of s in place; returns the number of ASCII
// letters among them and sets `gap` when one of them is '-'.
inline int UpperCountLetters(char* s, std::size_t n, bool& gap) {
  using namespace text_scan_detail;
  std::size_t i = 0;
  int letters = 0;
#if defined(__SSE2__)
  __m128i dash = _mm_setzero_si128();
  while (i + 16 <= n) {
    // (At most 255 blocks per count, so that a byte counter cannot wrap.)
    __m128i count = _mm_setzero_si128();
    for (int block = 0; block < 255 && i + 16 <= n; ++block, i += 16) {
      const __m128i upper = Upper16(Load16(s + i));
      Store16(s + i, upper);
      count = _mm_sub_epi8(count, InRange16(upper, 'A', 'Z'));  // each letter adds one
      dash = _mm_or_si128(dash, _mm_cmpeq_epi8(upper, _mm_set1_epi8('-')));
    }
    const __m128i sums = _mm_sad_epu8(count, _mm_setzero_si128());
    letters += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums));
  }
  if (Any(dash)) gap = true;
#endif
  for (; i < n; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    letters += kLetter.map[c];
    if (c == '-') gap = true;
    s[i] = UpperOf(c);
  }
  return letters;
}

// The first white-space byte (blank, tab, line feed, vertical tab, form
// feed, carriage return) in [p, end), or end.
inline const char* FindWhiteSpace(const char* p, const char* end) {
#if defined(__SSE2__)
  using namespace text_scan_detail;
  for (; end - p >= 16; p += 16) {
    const __m128i v = Load16(p);
    const __m128i space = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), InRange16(v, '\t', '\r'));
    const int mask = _mm_movemask_epi8(space);
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  for (; p < end; ++p)
    if (*p == ' ' || (*p >= '\t' && *p <= '\r')) return p;
  return end;
}

// The first `c` in [p, end), or null. (Inline for the short spans of a
// line, where a library call costs more than the search.)
inline const char* FindByte(const char* p, const char* end, char c) {
#if defined(__SSE2__)
  using namespace text_scan_detail;
  const __m128i wanted = _mm_set1_epi8(c);
  for (; end - p >= 16; p += 16) {
    const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(Load16(p), wanted));
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  for (; p < end; ++p)
    if (*p == c) return p;
  return nullptr;
}

// The first line feed, carriage return or NUL byte in [p, end), or null.
inline const char* FindLineStop(const char* p, const char* end) {
#if defined(__SSE2__)
  using namespace text_scan_detail;
  for (; end - p >= 16; p += 16) {
    const __m128i v = Load16(p);
    const __m128i stop = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))),
                                      _mm_cmpeq_epi8(v, _mm_setzero_si128()));
    const int mask = _mm_movemask_epi8(stop);
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  for (; p < end; ++p)
    if (*p == '\n' || *p == '\r' || *p == '\0') return p;
  return nullptr;
}

inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// True when the m bytes of `needle` occur in the n bytes at `hay`.
inline bool ContainsBytes(const char* hay, std::size_t n, const char* needle, std::size_t m) {
  if (m == 0) return true;
  if (m > n) return false;
  const char first = needle[0];
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen start positions at a time: those whose first and last bytes
  // match are compared whole.
  if (m >= 2) {
    using namespace text_scan_detail;
    const __m128i f = _mm_set1_epi8(first);
    const __m128i l = _mm_set1_epi8(needle[m - 1]);
    for (; i + (m - 1) + 16 <= n; i += 16) {
      const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(Load16(hay + i), f), _mm_cmpeq_epi8(Load16(hay + i + m - 1), l));
      auto candidates = static_cast<unsigned>(_mm_movemask_epi8(both));
      while (candidates != 0) {
        const auto k = static_cast<std::size_t>(__builtin_ctz(candidates));
        if (std::memcmp(hay + i + k + 1, needle + 1, m - 2) == 0) return true;
        candidates &= candidates - 1;
      }
    }
  }
#endif
  for (; i + m <= n; ++i)
    if (hay[i] == first && std::memcmp(hay + i + 1, needle + 1, m - 1) == 0) return true;
  return false;
}

// True when the m bytes of the upper-case `needle` occur in the n bytes at
// `hay` read in ASCII upper case. (For a line still in the reader's buffer:
// no upper-case copy is read back while its stores are under way.)
inline bool ContainsUpperBytes(const char* hay, std::size_t n, const char* needle, std::size_t m) {
  using namespace text_scan_detail;
  if (m == 0) return true;
  if (m > n) return false;
  auto sameAt = [&](std::size_t p) {
    for (std::size_t j = 0; j < m; ++j)
      if (UpperOf(static_cast<unsigned char>(hay[p + j])) != needle[j]) return false;
    return true;
  };
  std::size_t i = 0;
#if defined(__SSE2__)
  if (m >= 2) {
    // A letter is compared with its lower-case bit set, anything else as it is.
    auto fold = [](char c) { return _mm_set1_epi8(c >= 'A' && c <= 'Z' ? 0x20 : 0); };
    auto folded = [](char c) { return _mm_set1_epi8(c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c); };
    const __m128i firstFold = fold(needle[0]), first = folded(needle[0]);
    const __m128i lastFold = fold(needle[m - 1]), last = folded(needle[m - 1]);
    for (; i + (m - 1) + 16 <= n; i += 16) {
      const __m128i a = _mm_cmpeq_epi8(_mm_or_si128(Load16(hay + i), firstFold), first);
      const __m128i b = _mm_cmpeq_epi8(_mm_or_si128(Load16(hay + i + m - 1), lastFold), last);
      auto candidates = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(a, b)));
      while (candidates != 0) {
        if (sameAt(i + static_cast<std::size_t>(__builtin_ctz(candidates)))) return true;
        candidates &= candidates - 1;
      }
    }
  }
#endif
  for (; i + m <= n; ++i)
    if (sameAt(i)) return true;
  return false;
}

template <std::size_t N>
inline bool ContainsUpper(const char* hay, std::size_t n, const char (&literal)[N]) {
  return ContainsUpperBytes(hay, n, literal, N - 1);
}

template <std::size_t N>
inline bool Contains(const char* hay, std::size_t n, const char (&literal)[N]) {
  return ContainsBytes(hay, n, literal, N - 1);
}
