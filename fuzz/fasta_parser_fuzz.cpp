// Feeds arbitrary bytes to the FASTA report reader as each FASTA report
// kind (HTML and text, the FASTA package's and the EBI service's): it must
// return a result code without reading out of bounds.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "vistram/platform/recording_platform.h"
#include "vistram/results/fasta_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  static const std::string path = [] {
    char name[] = "/tmp/vistram_fasta_fuzz_XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return std::string(name);
  }();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  for (int kind : {6, 7, 8, 9}) {
    DataProgram dp;
    LitFastaForListBox(nullptr, nullptr, dp, path, kind);
  }
  platform.Clear();
  return 0;
}
