#include "vistram/seqio/line_pieces.h"

#include <filesystem>

#include "vistram/seqio/sequence_text.h"

bool LinePieces::Next() {
  started_ = ended_;
  const std::uint64_t before = file_.Position();
  std::size_t length = 0;
  if (before >= kMaxSequenceFileBytes || !file_.ReadLine(buffer_, sizeof buffer_, length)) {
    length_ = 0;
    ended_ = true;
    return false;
  }
  length_ = length;
  // A piece shorter than the buffer allows always ends at a line end (or at
  // the end of the file); a full piece ended its line when the reader also
  // consumed the line end after it.
  const std::uint64_t consumed = file_.Position() - before;
  ended_ = length_ < kSequencePieceSize - 1 || consumed > length_ || file_.Position() >= file_.FileSize();
  return true;
}

std::string LinePieces::Upper() const {
  std::string s(Piece());
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

void LinePieces::SkipRestOfLine() {
  while (!ended_ && Next()) {
  }
}

std::string_view FirstWord(std::string_view text) {
  std::size_t b = text.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  std::size_t e = text.find_first_of(" \t", b);
  return text.substr(b, e == std::string_view::npos ? std::string_view::npos : e - b);
}

std::string NameFromPath(const std::string& path) {
  return std::filesystem::path(path).stem().string();
}

void SetSequenceName(std::string& target, std::string_view name) {
  target.assign(name.substr(0, kSequenceNameWidth - 1));
}
