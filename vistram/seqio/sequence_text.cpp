#include "vistram/seqio/sequence_text.h"

#include <cstring>

SequenceText CopySequenceText(std::string_view text) {
  SequenceText copy(static_cast<char*>(MyAlloc(text.size() + 1)));
  if (copy && !text.empty()) std::memcpy(copy.get(), text.data(), text.size());
  return copy;
}

bool LitBasesSequ(std::string_view line, SequenceText& sequence, std::size_t& capacity, std::size_t& count) {
  if (!sequence) {
    sequence.reset(static_cast<char*>(MyAlloc(kMaxSequenceResidues + 1)));
    if (!sequence) return false;
    capacity = kMaxSequenceResidues + 1;
    count = 0;
  }
  for (char raw : line) {
    char c = raw;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || c == '*') {
      // The terminator keeps its byte: a residue beyond 2500 is refused.
      if (count >= kMaxSequenceResidues || count + 1 >= capacity) return false;
      sequence.get()[count++] = c;
    } else if ((c >= '0' && c <= '9') || c == ' ') {
      continue;
    } else {
      return false;
    }
  }
  return true;
}
