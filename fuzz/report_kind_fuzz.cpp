// TestFichier on arbitrary file content.
#include <cstdlib>

#include "fuzz/fuzz_input_file.h"
#include "vistram/results/report_kind.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int kind = TestFichier(InputFile().Write(data, size));
  if (kind != 3 && (kind < 4 || kind > 9)) std::abort();  // 0 only when the file cannot be read
  return 0;
}
