// Helpers of the report tests: the real reports under tests/data, programs run
// without a shell, reports read into a fresh DataProgram.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/records.h"

namespace blasttest {

using TempDir = test_support::TempFolder;
using test_support::ReadWholeFile;

inline std::string DataPath(const std::string& relative) {
  return std::string(VISTRAM_TEST_DATA_DIR) + "/blast/" + relative;
}

// Runs args[0] (no shell) with its standard output into `out`; true when it exited with 0.
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

inline std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The summary that tests/tools/bioperl_*_summary.pl print of a report: "Q" per
// query, "H<tab>name" per hit, "S<tab>q1 q2 s1 s2 [expect]" per HSP.
struct PerlHsp {
  int q1, q2, s1, s2;
  double expect;
};
struct PerlHit {
  std::string name;
  std::vector<PerlHsp> hsps;
};
inline std::vector<std::vector<PerlHit>> ParsePerlSummary(const std::string& text) {
  std::vector<std::vector<PerlHit>> queries;
  std::istringstream in(text);
  std::string line, tag;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    std::getline(f, tag, '\t');
    if (tag == "Q") {
      queries.emplace_back();
    } else if (tag == "H" && !queries.empty()) {
      queries.back().push_back({});
      std::getline(f, queries.back().back().name, '\t');
    } else if (tag == "S" && !queries.empty() && !queries.back().empty()) {
      PerlHsp s{};
      std::string e;
      f >> s.q1 >> s.q2 >> s.s1 >> s.s2 >> e;
      s.expect = e.empty() ? -1 : std::strtod(e.c_str(), nullptr);
      queries.back().back().hsps.push_back(s);
    }
  }
  return queries;
}

inline std::string RunPerlSummary(const std::string& script, const std::string& report) {
  std::string out;
  RunProgram({"perl", std::string(VISTRAM_TEST_DATA_DIR) + "/../tools/" + script, report}, out);
  return out;
}

// A recording platform and a private folder for each test.
class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  RecordingPlatform platform_;
  TempDir dir_;
};

}  // namespace blasttest
