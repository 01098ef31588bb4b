#include "vistram/seqio/sequence_readers.h"

#include <string_view>

#include "vistram/seqio/line_pieces.h"

namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// True when the first `width` characters of `s` contain `word`.
bool HeadContains(std::string_view s, std::size_t width, std::string_view word) {
  return s.substr(0, width).find(word) != npos;
}

// The name from a line that begins with `keyword` and has a word after it, or the file's name.
void NameAfterKeyword(std::string_view line, std::string_view keyword, std::string& name) {
  if (!StartsWith(line, keyword)) return;
  std::string_view word = FirstWord(line.substr(keyword.size()));
  if (!word.empty()) SetSequenceName(name, word);
}

// ">P1;", ">F1;", ... : the sequence types of an NBRF entry header.
bool IsNbrfHeader(std::string_view afterMark) {
  static constexpr std::string_view kTypes[] = {"P1", "F1", "DL", "DC", "RL", "RC", "N3", "N1", "XX"};
  if (afterMark.size() < 3 || afterMark[2] != ';') return false;
  for (std::string_view t : kTypes) {
    if (afterMark.substr(0, 2) == t) return true;
  }
  return false;
}

// Reads residue lines until `stop` says a line ends the sequence (that line is
// not read as residues) or the file ends. Null when a line is refused.
template <typename Stop>
SequenceText ReadResidues(LinePieces& in, Stop stop) {
  SequenceText sequence;
  std::size_t capacity = 0;
  std::size_t count = 0;
  while (in.Next()) {
    if (stop(in)) break;
    if (!LitBasesSequ(in.Piece(), sequence, capacity, count)) return {};
  }
  // No residue line at all: nothing (the next format is tried).
  return sequence;
}

// "before the first line shorter than 5 characters"
bool ShortLine(const LinePieces& in) { return in.StartedLine() && in.EndedLine() && in.Piece().size() < 5; }

}  // namespace

SequenceText LitSequFASTAFile(LineReader& file, std::string& name, const std::string& path) {
  SetSequenceName(name, NameFromPath(path));
  LinePieces in(file);
  bool found = false;
  while (in.Next()) {
    if (in.StartedLine() && StartsWith(in.Piece(), ">")) {
      found = true;
      break;
    }
  }
  if (!found) return {};
  const std::string_view afterMark = in.Piece().substr(1);
  const bool nbrf = IsNbrfHeader(afterMark);
  std::string_view word = FirstWord(nbrf ? afterMark.substr(3) : afterMark);
  if (!word.empty()) SetSequenceName(name, word);
  in.SkipRestOfLine();

  if (!nbrf) {
    return ReadResidues(in, [](const LinePieces& p) { return p.Piece().find('>') != npos; });
  }
  // NBRF entry: a title line, then residues up to the '*' that ends them.
  if (in.Next()) in.SkipRestOfLine();
  SequenceText sequence;
  std::size_t capacity = 0;
  std::size_t count = 0;
  while (in.Next()) {
    std::string_view piece = in.Piece();
    if (piece.find('>') != npos) break;
    std::size_t star = piece.find('*');
    if (!LitBasesSequ(piece.substr(0, star), sequence, capacity, count)) return {};
    if (star != npos) break;
  }
  // (null when no residue line was read)
  return sequence;
}

SequenceText LitSequGCGFile(LineReader& file, std::string& name, const std::string& path) {
  SetSequenceName(name, NameFromPath(path));
  LinePieces in(file);
  if (!in.Next()) return {};
  // "ID name word word number word" on the first line names the sequence.
  {
    std::string first = in.Upper();
    if (StartsWith(first, "ID")) {
      std::string_view rest = std::string_view(first).substr(2);
      std::string_view words[5];
      int n = 0;
      for (; n < 5; ++n) {
        words[n] = FirstWord(rest);
        if (words[n].empty()) break;
        rest = rest.substr(static_cast<std::size_t>(words[n].data() + words[n].size() - rest.data()));
      }
      if (n == 5 && words[3].find_first_not_of("0123456789") == npos) SetSequenceName(name, words[0]);
    }
  }
  bool found = false;
  do {
    if (!in.StartedLine()) continue;
    std::string upper = in.Upper();
    std::size_t l = upper.find("LENGTH:");
    std::size_t t = l == npos ? npos : upper.find("TYPE:", l);
    if (t != npos && upper.find("CHECK:", t) != npos) {
      found = true;
      break;
    }
  } while (in.Next());
  if (!found) return {};
  in.SkipRestOfLine();
  return ReadResidues(in, [](const LinePieces&) { return false; });
}

SequenceText LitSequNBRFFile(LineReader& file, std::string& name, const std::string& path) {
  SetSequenceName(name, NameFromPath(path));
  LinePieces in(file);
  bool titleSeen = false;
  bool found = false;
  while (in.Next()) {
    if (!in.StartedLine()) continue;
    std::string_view piece = in.Piece();
    if (!titleSeen && HeadContains(piece, 8, "TITLE")) {
      titleSeen = true;
      NameAfterKeyword(piece, "TITLE", name);
    }
    if (HeadContains(piece, 8, "SEQUENCE")) {
      found = true;
      break;
    }
  }
  if (!found) return {};
  in.SkipRestOfLine();
  if (!in.Next()) return {};  // the ruler
  in.SkipRestOfLine();
  return ReadResidues(in, ShortLine);
}

SequenceText LitSequGenPeptFile(LineReader& file, std::string& name, const std::string& path) {
  SetSequenceName(name, NameFromPath(path));
  LinePieces in(file);
  bool definitionSeen = false;
  bool found = false;
  while (in.Next()) {
    if (!in.StartedLine()) continue;
    std::string_view piece = in.Piece();
    if (!definitionSeen && HeadContains(piece, 10, "DEFINITION")) {
      definitionSeen = true;
      NameAfterKeyword(piece, "DEFINITION", name);
    }
    if (HeadContains(piece, 10, "ORIGIN")) {
      found = true;
      break;
    }
  }
  if (!found) return {};
  in.SkipRestOfLine();
  return ReadResidues(in, ShortLine);
}

SequenceText LitSequSwissProtFile(LineReader& file, std::string& name, const std::string& path) {
  SetSequenceName(name, NameFromPath(path));
  LinePieces in(file);
  if (!in.Next()) return {};
  NameAfterKeyword(in.Piece(), "ID", name);
  bool found = false;
  do {
    if (in.StartedLine() && StartsWith(in.Piece(), "SQ")) {
      found = true;
      break;
    }
  } while (in.Next());
  if (!found) return {};
  // The declared length: the number after "SEQUENCE" (0 when the line has none).
  std::string_view piece = in.Piece();
  std::size_t at = piece.find("SEQUENCE");
  if (at != npos) {
    std::string_view rest = piece.substr(at + 8);
    std::size_t b = rest.find_first_not_of(' ');
    std::size_t declared = 0;
    for (std::size_t i = b == npos ? rest.size() : b; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
      declared = declared * 10 + static_cast<std::size_t>(rest[i] - '0');
      if (declared > kMaxSequenceResidues) return {};
    }
  }
  in.SkipRestOfLine();
  return ReadResidues(in, [](const LinePieces& p) { return p.StartedLine() && StartsWith(p.Piece(), "/"); });
}

SequenceText LitSequNoCommentFile(LineReader& file, std::string& name, const std::string& path) {
  SetSequenceName(name, NameFromPath(path));
  LinePieces in(file);
  SequenceText sequence = ReadResidues(in, [](const LinePieces&) { return false; });
  if (!sequence) return {};
  return CopySequenceText(std::string_view(sequence.get()));
}
