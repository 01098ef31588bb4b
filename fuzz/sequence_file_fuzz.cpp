// LireSequence on arbitrary file content: a text, when returned, holds 10 to
// 2,500 upper-case letters or '*', and the name at most 255 characters.
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_input_file.h"
#include "vistram/seqio/sequence_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string name;
  SequenceText text = LireSequence(InputFile().Write(data, size), name);
  if (name.size() >= kSequenceNameWidth) std::abort();
  if (text) {
    const std::size_t n = std::strlen(text.get());
    if (n < kMinSequenceResidues || n > kMaxSequenceResidues) std::abort();
    for (std::size_t i = 0; i < n; ++i) {
      const char c = text.get()[i];
      if (!((c >= 'A' && c <= 'Z') || c == '*')) std::abort();
    }
  } else if (!name.empty()) {
    std::abort();
  }
  return 0;
}
