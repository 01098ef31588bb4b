// Reading a sequence file in line pieces: every line is read with MYFGETS in
// pieces of at most 99 characters (a longer line comes back as several
// pieces). The reader also tells whether a piece ended its line, so that the
// rest of a long header line is never taken for residues.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "vistram/base/line_reader.h"

inline constexpr int kSequencePieceSize = 100;  // MYFGETS buffer: 99 characters and the NUL
// How far into a file a sequence is looked for. A sequence holds at most 2,500
// residues and its entry's header a few hundred lines, so a file read this far
// without one holds none; the bound stops an endless input (a device, a
// growing file) from being read for ever.
inline constexpr std::uint64_t kMaxSequenceFileBytes = std::uint64_t{8} << 20;

class LinePieces {
 public:
  explicit LinePieces(LineReader& file) : file_(file) {}

  // Reads the next piece; false at end of file or past kMaxSequenceFileBytes.
  bool Next();
  // The piece as read (NUL bytes inside it included).
  std::string_view Piece() const { return {buffer_, length_}; }
  // The piece upper-cased (ASCII letters only).
  std::string Upper() const;
  // True when the piece was the end of its line (or of the file).
  bool EndedLine() const { return ended_; }
  // True when the piece is the start of its line (not the rest of a long one).
  bool StartedLine() const { return started_; }
  // Reads and drops the pieces left of the current line.
  void SkipRestOfLine();

 private:
  LineReader& file_;
  char buffer_[kSequencePieceSize] = {};
  std::size_t length_ = 0;
  bool ended_ = true;
  bool started_ = true;
};

// The first blank-separated word of `text` (leading blanks skipped); empty when none.
std::string_view FirstWord(std::string_view text);
// The file's base name without directory and extension ("/a/b/cchu.pir" gives "cchu").
std::string NameFromPath(const std::string& path);
// Stores `name` into the name buffer, cut to 255 characters.
void SetSequenceName(std::string& target, std::string_view name);
