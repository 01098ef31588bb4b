#include "vistweb/files.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "vistram/base/safe_file.h"

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ReplaceFile(const std::string& path, std::string_view text) {
  SafeFile file;
  if (!file.Open(path)) return;
  if (std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size()) file.MarkFailed();
  file.Commit();
}
