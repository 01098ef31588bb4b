#include "vistram/patterns/prosite.h"

#include <cctype>
#include <fstream>

#include "vistram/patterns/motif_file.h"
#include "vistram/base/safe_file.h"

namespace {

constexpr std::string_view kStandardResidues = "ACDEFGHIKLMNPQRSTVWY";

std::string Trim(std::string_view s) {
  std::size_t a = 0;
  std::size_t b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a])) != 0) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])) != 0) --b;
  return std::string(s.substr(a, b - a));
}

// One element of a PROSITE pattern after its repeat: either a run of x's of
// min..max residues, or `count` copies of a fixed element.
struct Item {
  bool wildcard = false;
  std::size_t min = 0;
  std::size_t max = 0;
  std::string element;  // "A" or "(ACD)"
};

bool ParseCount(std::string_view text, std::size_t& value) {
  if (text.empty() || text.size() > 6) return false;
  value = 0;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return false;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  return true;
}

bool ParseToken(std::string_view token, Item& item, std::string& why) {
  if (token.empty()) {
    why = "empty element";
    return false;
  }
  if (token.find_first_of("<>") != std::string_view::npos) {
    why = "anchor '<' or '>'";
    return false;
  }
  std::size_t i = 0;
  std::string set;
  const char c = token[0];
  if (c == '[' || c == '{') {
    const std::size_t close = token.find(c == '[' ? ']' : '}');
    if (close == std::string_view::npos || close == 1) {
      why = "unreadable element '" + std::string(token) + "'";
      return false;
    }
    const std::string_view inside = token.substr(1, close - 1);
    for (char r : inside) {
      if (std::isalpha(static_cast<unsigned char>(r)) == 0) {
        why = "unreadable element '" + std::string(token) + "'";
        return false;
      }
    }
    if (c == '[') {
      for (char r : inside) set += static_cast<char>(std::toupper(static_cast<unsigned char>(r)));
    } else {
      for (char r : kStandardResidues) {
        if (inside.find(r) == std::string_view::npos) set += r;
      }
    }
    item.element = "(" + set + ")";
    i = close + 1;
  } else if (c == 'x' || c == 'X') {
    item.wildcard = true;
    i = 1;
  } else if (std::isupper(static_cast<unsigned char>(c)) != 0) {
    item.element = std::string(1, c);
    i = 1;
  } else {
    why = "unreadable element '" + std::string(token) + "'";
    return false;
  }
  std::size_t lo = 1;
  std::size_t hi = 1;
  if (i < token.size()) {
    if (token[i] != '(' || token.back() != ')') {
      why = "unreadable element '" + std::string(token) + "'";
      return false;
    }
    const std::string_view counts = token.substr(i + 1, token.size() - i - 2);
    const std::size_t comma = counts.find(',');
    if (comma == std::string_view::npos) {
      if (!ParseCount(counts, lo)) {
        why = "unreadable repeat in '" + std::string(token) + "'";
        return false;
      }
      hi = lo;
    } else if (!ParseCount(counts.substr(0, comma), lo) || !ParseCount(counts.substr(comma + 1), hi) || hi < lo) {
      why = "unreadable range in '" + std::string(token) + "'";
      return false;
    }
  }
  if (!item.wildcard && lo != hi) {
    why = "range on an element other than x in '" + std::string(token) + "'";
    return false;
  }
  item.min = lo;
  item.max = hi;
  return true;
}

}  // namespace

std::vector<PrositeEntry> ReadPrositeEntries(std::istream& in) {
  std::vector<PrositeEntry> entries;
  PrositeEntry current;
  std::string line;
  auto finish = [&] {
    if (!current.pattern.empty()) entries.push_back(current);
    current = PrositeEntry();
  };
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string tag = line.substr(0, 2);
    const std::string value = line.size() > 5 ? Trim(line.substr(5)) : std::string();
    if (tag == "//") {
      finish();
    } else if (tag == "ID") {
      current.id = Trim(value.substr(0, value.find(';')));
    } else if (tag == "AC") {
      current.accession = Trim(value.substr(0, value.find(';')));
    } else if (tag == "DE") {
      current.description += (current.description.empty() ? "" : " ") + value;
    } else if (tag == "PA") {
      current.pattern += value;
    }
  }
  finish();
  return entries;
}

bool ConvertPrositePattern(std::string_view prosite, std::string& out, std::string& why) {
  std::string text;
  for (char c : prosite) {
    if (std::isspace(static_cast<unsigned char>(c)) == 0) text += c;
  }
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text.empty()) {
    why = "empty pattern";
    return false;
  }
  // Consecutive x's join into one run; fixed elements follow one another.
  std::vector<Item> items;
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t dash = text.find('-', from);
    const std::size_t to = dash == std::string::npos ? text.size() : dash;
    Item item;
    if (!ParseToken(std::string_view(text).substr(from, to - from), item, why)) return false;
    if (item.wildcard && !items.empty() && items.back().wildcard) {
      items.back().min += item.min;
      items.back().max += item.max;
    } else {
      items.push_back(item);
    }
    if (dash == std::string::npos) break;
    from = dash + 1;
  }
  out.clear();
  for (std::size_t k = 0; k < items.size(); ++k) {
    const Item& it = items[k];
    if (!it.wildcard) {
      for (std::size_t n = 0; n < it.min && out.size() <= kMotifTextMax; ++n) out += it.element;
      continue;
    }
    out.append(std::min(it.min, kMotifTextMax + 1), 'X');
    // A variable run at either end matches wherever its shortest form does.
    const bool inside = k > 0 && k + 1 < items.size();
    if (inside && it.max > it.min) out.append("{").append(std::to_string(it.max - it.min + 1)).append("}");
  }
  if (out.size() > kMotifTextMax) {
    why = "pattern over 99 characters once converted";
    return false;
  }
  if (out.empty()) {
    why = "pattern of wildcards only";
    return false;
  }
  return true;
}

std::string MotEntryText(const PrositeEntry& entry, const std::string& pattern) {
  return "#MOTIF\nDE " + entry.id + ": " + entry.description + "\nPA " + pattern + "\n";
}

int ConvertPrositeFile(const std::string& input, const std::string& output, std::FILE* errors, std::string& message) {
  std::ifstream in(input, std::ios::binary);
  if (!in) {
    message = "Unable to read the PROSITE file " + input + ".";
    return 1;
  }
  const std::vector<PrositeEntry> entries = ReadPrositeEntries(in);
  if (in.bad()) {
    message = "Unable to read the PROSITE file " + input + ".";
    return 1;
  }
  if (entries.empty()) {
    message = "No PROSITE pattern (PA line) in " + input + ".";
    return 1;
  }
  std::string text;
  std::size_t converted = 0;
  for (const PrositeEntry& e : entries) {
    std::string pattern;
    std::string why;
    if (ConvertPrositePattern(e.pattern, pattern, why)) {
      text += MotEntryText(e, pattern);
      ++converted;
    } else {
      std::fprintf(errors, "%s (%s): %s\n", e.id.c_str(), e.accession.c_str(), why.c_str());
    }
  }
  if (converted == 0) {
    message = "None of the " + std::to_string(entries.size()) + " PROSITE patterns of " + input + " could be converted.";
    return 1;
  }
  SafeFile file;
  if (!file.Open(output) || std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size() || !file.Commit()) {
    message = "Unable to write the file " + output + ".";
    return 1;
  }
  return 0;
}
