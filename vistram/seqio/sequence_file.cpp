#include "vistram/seqio/sequence_file.h"

#include <cstring>
#include <string_view>

#include "vistram/seqio/line_pieces.h"
#include "vistram/seqio/sequence_readers.h"

namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

bool IsFastaLine(std::string_view line) { return !line.empty() && line[0] == '>'; }

bool IsGcgLine(std::string_view line) {
  std::size_t l = line.find("LENGTH:");
  std::size_t t = l == npos ? npos : line.find("TYPE:", l);
  return t != npos && line.find("CHECK:", t) != npos;
}

bool IsNbrfLine(std::string_view line) {
  std::string_view head = line.substr(0, 7);
  return head.find("PIR") != npos || head.find("ENTRY") != npos;
}

bool IsGenPeptLine(std::string_view line) {
  std::string_view head = line.substr(0, 7);
  return head.find("ENTREZ") != npos || head.find("LOCUS") != npos;
}

// The identification line of a SwissProt entry. The classic form has four
// words and a remainder beginning with "AA." ("CALM_HUMAN STANDARD; PRT; 148
// AA."); the form written since 2006 has three words and "AA." ("CALM_HUMAN
// Reviewed; 149 AA.") and is taken when the line begins with "ID".
bool IsSwissProtLine(std::string_view line) {
  if (line.substr(0, 10).find("SWISS-PROT") != npos) return true;
  if (line.size() < 3) return false;
  std::string_view rest = line.substr(2);
  std::string_view words[4];
  int n = 0;
  for (; n < 4; ++n) {
    words[n] = FirstWord(rest);
    if (words[n].empty()) break;
    rest = rest.substr(static_cast<std::size_t>(words[n].data() + words[n].size() - rest.data()));
  }
  const std::size_t b = rest.find_first_not_of(" \t");
  const std::string_view remainder = b == npos ? std::string_view{} : rest.substr(b);
  if (n == 4 && remainder.substr(0, 3) == "AA.") return true;
  return n == 4 && remainder.empty() && line.substr(0, 2) == "ID" && words[3].substr(0, 3) == "AA." &&
         words[2].find_first_not_of("0123456789") == npos;
}

using FormatTest = bool (*)(std::string_view upperLine);
using FormatReader = SequenceText (*)(LineReader&, std::string&, const std::string&);

// Reads the file from its start, line by line upper-cased, until `test` hits.
bool FileHas(LineReader& file, FormatTest test) {
  if (!file.Rewind()) return false;
  LinePieces in(file);
  while (in.Next()) {
    if (in.StartedLine() && test(in.Upper())) return true;
  }
  return false;
}

}  // namespace

SequenceText LireSequence(const std::string& path, std::string& name) {
  name.clear();
  LineReader file;
  if (!file.Open(path)) return {};

  static constexpr struct {
    FormatTest test;
    FormatReader reader;
  } kFormats[] = {
      {IsFastaLine, LitSequFASTAFile},     {IsGcgLine, LitSequGCGFile},
      {IsNbrfLine, LitSequNBRFFile},       {IsGenPeptLine, LitSequGenPeptFile},
      {IsSwissProtLine, LitSequSwissProtFile},
  };
  SequenceText text;
  for (const auto& format : kFormats) {
    if (!FileHas(file, format.test)) continue;
    if (!file.Rewind()) return {};
    text = format.reader(file, name, path);
    if (text) break;
  }
  if (!text) {
    if (!file.Rewind()) return {};
    text = LitSequNoCommentFile(file, name, path);
  }
  file.Close();

  const std::size_t length = text ? std::strlen(text.get()) : 0;
  if (length < kMinSequenceResidues || length > kMaxSequenceResidues) {
    name.clear();
    return {};
  }
  return CopySequenceText(std::string_view(text.get(), length));
}
