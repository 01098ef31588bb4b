// Helpers of the BLAST reader tests: temporary report files and the paths of
// the real reports under tests/data/blast.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "vistram/results/blast_parser.h"
#include "support/temp_folder.h"
#include "vistram/results/records.h"

namespace blasttest {

inline std::string DataPath(const std::string& relative) {
  return std::string(VISTRAM_TEST_DATA_DIR) + "/blast/" + relative;
}

using TempDir = test_support::TempFolder;

// Runs a program with an argument vector (no shell), its standard output
// into `out`; true when it ran and exited with 0.
inline bool RunProgram(const std::vector<std::string>& args, std::string& out) {
  int fds[2];
  if (::pipe(fds) != 0) return false;
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[0]);
    ::close(fds[1]);
    if (std::freopen("/dev/null", "w", stderr) == nullptr) ::_exit(126);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  char buf[65536];
  ssize_t n;
  while ((n = ::read(fds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Reads `path` as `kind` into a fresh DataProgram.
struct Loaded {
  DataProgram dp;
  int code = -1;
  const HspData& hit(int number) const { return *(*dp.hits)[static_cast<std::size_t>(number - 1)]; }
  const AliData& ali(int hitNumber, int alignmentNumber) const {
    return *hit(hitNumber).alignments[static_cast<std::size_t>(alignmentNumber - 1)];
  }
};

inline std::unique_ptr<Loaded> Read(const std::string& path, int kind = 5) {
  auto l = std::make_unique<Loaded>();
  l->code = LitBlastForListBox(nullptr, nullptr, l->dp, path, kind);
  return l;
}

}  // namespace blasttest
