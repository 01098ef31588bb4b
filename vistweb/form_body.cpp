#include "vistweb/form_body.h"

#include <cctype>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Upper case without '_' and '-': the form in which field names are compared.
std::string NameKey(std::string_view name) {
  std::string key;
  for (char c : name)
    if (c != '_' && c != '-') key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace

int ReadBodyNumber(std::string_view body, std::string_view field, int defaultValue) {
  std::size_t at = body.find(field);
  if (at == std::string_view::npos) return defaultValue;
  std::size_t start = at + field.size() + 1;
  if (start > body.size()) return defaultValue;
  std::size_t end = body.find('&', start);
  if (end == std::string_view::npos) return defaultValue;
  long value = 0;
  for (std::size_t i = start; i < end && std::isdigit(static_cast<unsigned char>(body[i])); ++i) {
    value = value * 10 + (body[i] - '0');
    if (value > 1000000000L) return 1000000000;
  }
  return static_cast<int>(value);
}

int ReadAlignmentsNumber(std::string_view body) { return ReadBodyNumber(body, "ALIGNMENTS", 250); }
int ReadDescriptionsNumber(std::string_view body) { return ReadBodyNumber(body, "DESCRIPTIONS", 100); }

FormFields DecodeForm(std::string_view body) {
  if (body.substr(0, 5) == "POST ") {
    std::size_t end = body.find("||");
    body = end == std::string_view::npos ? std::string_view() : body.substr(end + 2);
  }
  FormFields fields;
  while (!body.empty()) {
    std::size_t amp = body.find('&');
    std::string_view piece = body.substr(0, amp);
    if (!piece.empty()) {
      std::size_t eq = piece.find('=');
      if (eq == std::string_view::npos)
        fields.emplace_back(Unescape(piece), std::string());
      else
        fields.emplace_back(Unescape(piece.substr(0, eq)), Unescape(piece.substr(eq + 1)));
    }
    if (amp == std::string_view::npos) break;
    body.remove_prefix(amp + 1);
  }
  return fields;
}

std::string FindField(const FormFields& fields, std::initializer_list<std::string_view> names) {
  for (const auto& [name, value] : fields) {
    std::string key = NameKey(name);
    for (std::string_view wanted : names)
      if (key == NameKey(wanted)) return value;
  }
  return {};
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
  for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
    std::size_t j = 0;
    while (j < word.size() &&
           std::toupper(static_cast<unsigned char>(text[i + j])) == std::toupper(static_cast<unsigned char>(word[j])))
      ++j;
    if (j == word.size()) return true;
  }
  return false;
}
