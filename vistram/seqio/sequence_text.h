// The sequence text that the sequence readers and the download hand to their
// callers: one-letter residue codes (upper-case letters and '*'), at most
// 2500 residues, NUL-terminated, in a block of MyAlloc that the caller owns.
#pragma once
#include <cstddef>
#include <memory>
#include <string_view>

#include "vistram/base/memory.h"

inline constexpr std::size_t kMaxSequenceResidues = 2500;
// A sequence of fewer residues is refused.
inline constexpr std::size_t kMinSequenceResidues = 10;
// Width of the sequence-name buffer (the name holds at most 255 characters).
inline constexpr std::size_t kSequenceNameWidth = 256;

struct MyFreeDeleter {
  void operator()(char* block) const { MyFree(block); }
};
// A sequence text owned by its holder; release() hands it to code that frees it with MyFree.
using SequenceText = std::unique_ptr<char, MyFreeDeleter>;

// A block of MyAlloc of text.size() + 1 bytes holding `text`; null when the
// allocation fails (the wrappers have told the user).
SequenceText CopySequenceText(std::string_view text);

// Appends the residues of one line to `sequence`:
// - on first use (sequence null) allocates room for 2500 residues and the
//   terminator and sets `capacity` to that size; false when that fails;
// - letters (raised to upper case) and '*' are appended and counted; digits
//   and blanks are skipped; any other character (tab, '-', '.', other
//   punctuation, control bytes, NUL, bytes above 127) makes the line invalid:
//   false at once, the residues already appended stay (callers discard the
//   whole sequence);
// - false when the count would exceed 2500 (nothing is written past the block).
// The line holds no line end.
bool LitBasesSequ(std::string_view line, SequenceText& sequence, std::size_t& capacity, std::size_t& count);
