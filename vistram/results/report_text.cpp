#include "vistram/results/report_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace report_text {

std::size_t UpperInto(const char* src, char* dst) {
  const std::size_t n = std::strlen(src);
  UpperCopy(dst, src, n);
  dst[n] = '\0';
  return n;
}

std::string UpperOf(std::string_view text) {
  std::string up(text);
  UpperCopy(up.data(), up.data(), up.size());
  return up;
}

std::string_view WordAfter(std::string_view line, std::size_t from) {
  from = std::min(from, line.size());
  while (from < line.size() && IsBlank(line[from])) ++from;
  std::size_t to = from;
  while (to < line.size() && !IsBlank(line[to])) ++to;
  return line.substr(from, to - from);
}

std::string_view TextOutsideTags(std::string_view text, std::size_t from) {
  thread_local std::string out;
  out.clear();
  bool inTag = false;
  for (std::size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '<')
      inTag = true;
    else if (c == '>')
      inTag = false;
    else if (!inTag)
      out.push_back(c);
  }
  return out;
}

namespace {
bool StartsWithEither(const char* p, const char* lower, const char* upper) {
  const std::size_t n = std::strlen(lower);
  return std::strncmp(p, lower, n) == 0 || std::strncmp(p, upper, n) == 0;
}
}  // namespace

void StripTags(const char* src, char* dst, std::size_t size) {
  struct Entity {
    const char* lower;
    const char* upper;
    char c;
  };
  static constexpr Entity kEntities[] = {{"&gt;", "&GT;", '>'}, {"&lt;", "&LT;", '<'}, {"&amp;", "&AMP;", '&'}};
  std::size_t n = 0;
  bool inTag = false;
  for (const char* p = src; *p != '\0' && n + 1 < size; ++p) {
    if (inTag) {
      if (*p == '>') inTag = false;
      continue;
    }
    if (*p == '<') {
      inTag = true;
      continue;
    }
    char c = *p;
    if (c == '&') {
      for (const Entity& e : kEntities) {
        if (StartsWithEither(p, e.lower, e.upper)) {
          c = e.c;
          p += std::strlen(e.lower) - 1;
          break;
        }
      }
    }
    dst[n++] = c;
  }
  if (size > 0) dst[n] = '\0';
}

double ReadReportNumber(std::string_view text) {
  char buf[66];
  const char* p = text.data();
  const char* end = p + std::min<std::size_t>(text.size(), 63);
  while (p < end && IsSpace(*p)) ++p;
  // "e-175": the mantissa 1 is implied.
  if (p < end && (*p == 'e' || *p == 'E') && end - p >= 2 &&
      (std::isdigit(static_cast<unsigned char>(p[1])) != 0 ||
       ((p[1] == '-' || p[1] == '+') && end - p >= 3 && std::isdigit(static_cast<unsigned char>(p[2])) != 0))) {
    buf[0] = '1';
    const auto n = static_cast<std::size_t>(end - p);
    std::memcpy(buf + 1, p, n);
    return ReadReportNumber(std::string_view(buf, n + 1));
  }
  const char* number = p;
  if (p < end && *p == '+') ++p;
  if (p > number && p < end && *p == '-') return -1.0;  // "+-": no number
  const char* digits = p < end && *p == '-' ? p + 1 : p;
  const bool hex = end - digits >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  double v = 0;
  const auto [stop, error] = std::from_chars(p, end, v);
  if (hex || error == std::errc::result_out_of_range) {
    // Rare forms left to the library.
    const auto n = static_cast<std::size_t>(end - number);
    std::memcpy(buf, number, n);
    buf[n] = '\0';
    char* endp = nullptr;
    v = std::strtod(buf, &endp);
    return endp == buf ? -1.0 : v;
  }
  if (error != std::errc()) return -1.0;
  return v;
}

}  // namespace report_text
