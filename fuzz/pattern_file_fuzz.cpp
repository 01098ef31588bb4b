// Pattern files and PROSITE files on arbitrary content: the pattern-file
// reader keeps its widths, and every PROSITE pattern converted is at most 99
// characters of the pattern language that parses into parts.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "fuzz/fuzz_input_file.h"
#include "vistram/patterns/matcher.h"
#include "vistram/patterns/motif_file.h"
#include "vistram/patterns/prosite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<PatternEntry> entries;
  if (!ReadMotifs(InputFile().Write(data, size), entries)) std::abort();
  for (const PatternEntry& e : entries) {
    if (e.pattern.size() > kMotifTextMax || e.description.size() > kMotifTextMax) std::abort();
  }
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  for (const PrositeEntry& e : ReadPrositeEntries(in)) {
    std::string converted, why;
    if (ConvertPrositePattern(e.pattern, converted, why)) {
      if (converted.empty() || converted.size() > kMotifTextMax || !why.empty()) std::abort();
      if (DecorticMotif(AcheveMasque(converted, 100)).empty()) std::abort();
    } else if (why.empty()) {
      std::abort();
    }
  }
  return 0;
}
