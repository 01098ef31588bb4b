#include "vistram/shell/batch_web.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "vistram/platform/messages.h"
#include "vistram/platform/platform.h"
#include "vistram/base/safe_file.h"
#include "vistram/base/config.h"

bool ParseWebBatchArguments(int argc, char** argv, WebBatchArguments& args) {
  for (int i = 0; i < argc; ++i) {
    std::string* value = nullptr;
    if (std::strcmp(argv[i], "-o") == 0)
      value = &args.output;
    else if (std::strcmp(argv[i], "--config") == 0)
      value = &args.config;
    if (value != nullptr) {
      if (i + 1 >= argc || !value->empty()) return false;
      *value = argv[++i];
    } else if (args.input.empty() && argv[i][0] != '\0') {
      args.input = argv[i];
    } else {
      return false;
    }
  }
  if (args.input.empty() || args.output.empty()) return false;
  if (args.config.empty()) args.config = BuildConfigPath(CurrentPlatform().ProgramPath());
  return true;
}

int DeliverWebAnswer(const std::string& response, const std::string& output,
                     const std::function<bool(const std::string&)>& loads) {
  if (response.empty() || !loads(response)) {
    if (!response.empty()) std::remove(response.c_str());
    return 1;
  }
  std::ifstream in(response, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string answer = text.str();
  SafeFile file;
  const bool written = in.good() && file.Open(output) &&
                       std::fwrite(answer.data(), 1, answer.size(), file.Stream()) == answer.size() && file.Commit();
  std::remove(response.c_str());
  if (!written) {
    std::fprintf(stderr, "%s\n", FormatTxtMessage(258, output).c_str());
    return 1;
  }
  return 0;
}
