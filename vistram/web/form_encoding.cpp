#include "vistram/web/form_encoding.h"

namespace {
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The translation of a character the encoder rewrites, or null.
const char* Translation(char c) {
  switch (c) {
    case '\n': return "%0D%0A";
    case ' ': return "+";
    case '(': return "%28";
    case ')': return "%29";
    case '+': return "%2b";
    case '-': return "%2d";
    case '<': return "%3C";
    case '>': return "%3E";
    case '_': return "%5F";
    case '|': return "%7C";
    default: return nullptr;
  }
}
}  // namespace

std::string ConvertToSeqOnly(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (IsLetter(c)) out.push_back(c);
  return out;
}

std::string ConvertToMimeName(std::string_view text) {
  const std::size_t capacity = 3 * text.size();
  std::string out;
  out.reserve(capacity);
  for (char c : text) {
    if (IsLetter(c) || IsDigit(c) || c == '=' || c == '%' || c == '&') {
      if (out.size() + 1 > capacity) break;
      out.push_back(c);
      continue;
    }
    const char* t = Translation(c);
    if (t == nullptr) continue;
    const std::string_view piece(t);
    if (out.size() + piece.size() > capacity) continue;
    out.append(piece);
  }
  return out;
}
