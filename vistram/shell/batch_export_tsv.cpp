// vistram --export-tsv REPORT [-o OUT]: the records of a report as a table,
// one row per alignment, for scripts and for comparison with other readers.
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "vistram/results/records.h"
#include "vistram/base/safe_file.h"
#include "vistram/shell/batch_commands.h"
#include "vistram/shell/batch_load.h"

namespace {

constexpr const char* kColumns[] = {
    "table",       "hit",           "identifier",  "description", "length",   "score_text", "expect_text",
    "url",         "alignment",     "score",       "expect",      "identity", "hca",        "align_length",
    "positives",   "p_value",       "initn",       "init1",       "opt",      "z_score",    "query_start",
    "query_end",   "subject_start", "subject_end", "gapped"};

// A text field: tabs, line ends and other control characters become blanks.
void PutText(std::string& out, std::string_view text) {
  for (char c : text) out.push_back(static_cast<unsigned char>(c) < 32 || c == 127 ? ' ' : c);
  out.push_back('\t');
}

// The shortest decimal form that reads back to the same double.
void PutNumber(std::string& out, double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
  out.push_back('\t');
}

void PutInt(std::string& out, long long value) {
  out += std::to_string(value);
  out.push_back('\t');
}

std::string Table(const DataProgram& dp) {
  std::string out;
  for (const char* c : kColumns) {
    out += c;
    out.push_back('\t');
  }
  out.back() = '\n';
  for (const auto& table : dp.tables) {
    if (!table->hits) continue;
    for (const auto& hit : *table->hits) {
      for (std::size_t a = 0; a < hit->alignments.size(); ++a) {
        const AliData& ali = *hit->alignments[a];
        PutText(out, table->name);
        PutInt(out, hit->number);
        PutText(out, hit->identifier);
        PutText(out, hit->description);
        PutText(out, hit->lengthText);
        PutText(out, hit->scoreText);
        PutText(out, hit->expectText);
        PutText(out, hit->url);
        PutInt(out, static_cast<long long>(a) + 1);
        for (double v : {ali.score, ali.expect, ali.identityPercent, ali.hcaScore, ali.alignmentLength,
                         ali.positivePercent, ali.pValue, ali.initn, ali.init1, ali.opt, ali.zScore})
          PutNumber(out, v);
        PutInt(out, ali.queryStart);
        PutInt(out, ali.queryEnd);
        PutInt(out, ali.subjectStart);
        PutInt(out, ali.subjectEnd);
        PutInt(out, ali.gapped);
        out.back() = '\n';
      }
    }
  }
  return out;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int RunExportTsv(int argc, char** argv) {
  std::string report;
  std::string outPath;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0) {
      if (i + 1 >= argc) return 2;
      outPath = argv[++i];
    } else if (report.empty()) {
      report = argv[i];
    } else {
      return 2;
    }
  }
  if (report.empty()) return 2;
  if (report.size() >= width::kPath) {
    std::fprintf(stderr, "vistram: the report's path is longer than %zu characters: %s\n", width::kPath - 1,
                 report.c_str());
    return 1;
  }
  DataProgram dp;
  if (LoadReportForBatch(dp, report) != 1) return 1;
  const std::string text = Table(dp);
  FreeDataTable(dp);
  if (outPath.empty()) {
    if (!WriteAll(STDOUT_FILENO, text)) {
      std::fprintf(stderr, "vistram: cannot write to standard output: %s\n", std::strerror(errno));
      return 1;
    }
    return 0;
  }
  std::string error;
  if (!WriteFileSafely(outPath, text, &error)) {
    std::fprintf(stderr, "vistram: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
