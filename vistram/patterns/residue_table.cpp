#include "vistram/patterns/residue_table.h"

#include <cctype>
#include <fstream>

#include "vistram/patterns/pattern_row.h"

const char* TableBaseName(SequenceKind kind) {
  switch (kind) {
    case SequenceKind::Dna:
      return "ADN";
    case SequenceKind::Special:
      return "SPECIAL";
    case SequenceKind::Protein:
      break;
  }
  return "PROTEINE";
}

namespace {

bool IsLanguageCharacter(unsigned char c) {
  return std::isdigit(c) != 0 || std::isspace(c) != 0 || c == '{' || c == '}' || c == '(' || c == ')' || c == 'X' ||
         c == '\0';
}

}  // namespace

bool CreeTableDNA(const std::string& folder, const std::string& tableName, ResidueClassTable& table) {
  table = ResidueClassTable();
  std::ifstream in(folder + "/" + tableName + ".TBL", std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > kTableLineMax) line.resize(kTableLineMax);
    if (line.empty()) continue;
    const auto c = static_cast<unsigned char>(line[0]);
    // "%s": blanks skipped, then the text up to the next blank.
    std::size_t from = 1;
    while (from < line.size() && std::isspace(static_cast<unsigned char>(line[from])) != 0) ++from;
    std::size_t to = from;
    while (to < line.size() && std::isspace(static_cast<unsigned char>(line[to])) == 0) ++to;
    std::string text = line.substr(from, std::min(to - from, kTableExpansionMax));
    if (text.empty() || IsLanguageCharacter(c) || text.find_first_of("{}") != std::string::npos) continue;
    if (table.expansion[c].empty()) table.expansion[c] = std::move(text);
  }
  return true;
}

std::string RemplaceMultiLettre(std::string_view pattern, const ResidueClassTable& table) {
  std::string out;
  out.reserve(pattern.size());
  bool inGroup = false;
  for (char ch : pattern) {
    const std::string& e = table.expansion[static_cast<unsigned char>(ch)];
    if (e.empty()) {
      if (ch == '(') inGroup = true;
      if (ch == ')' || ch == '{') inGroup = false;  // a mark also ends a group left open
      out += ch;
    } else if (inGroup) {
      for (char x : e) {
        if (x != '(' && x != ')') out += x;
      }
    } else {
      out += e;
    }
  }
  return out;
}
