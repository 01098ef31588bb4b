#include "vistram/base/line_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

// Every line of `path` (bytes as stored, NUL flag), read with `size`, or with
// 100,000 from line `wideFrom` on; and the position at the end.
struct Read {
  Lines lines;
  std::vector<int> nulFlags;
  std::uint64_t position = 0;
  bool operator==(const Read&) const = default;
};
Read ReadEveryLine(const std::string& path, int size, int wideFrom = -1) {
  Read out;
  LineReader r;
  EXPECT_TRUE(r.Open(path));
  std::vector<char> buf(100000);
  std::size_t len = 0;
  for (int i = 0;; ++i) {
    const std::size_t n = wideFrom >= 0 && i >= wideFrom ? buf.size() : static_cast<std::size_t>(size);
    if (!r.ReadLine(buf.data(), n, len)) break;
    out.lines.emplace_back(buf.data(), len);
    out.nulFlags.push_back(r.LineHasNul() ? 1 : 0);
  }
  out.position = r.Position();
  return out;
}

// The C strings MYFGETS gives for `bytes` read with `size`.
Lines ReadAll(const std::string& bytes, int size = 500) {
  test_support::TempFolder dir;
  LineReader r;
  EXPECT_TRUE(r.Open(dir.Write("lines", bytes)));
  Lines lines;
  std::vector<char> buf(static_cast<size_t>(size));
  while (MYFGETS(r, size, buf.data()) != nullptr) lines.emplace_back(buf.data());
  EXPECT_EQ(r.Position(), bytes.size());
  return lines;
}

TEST(MYFGETS, LinesOfEachShape) {
  const std::string q(1200, 'Q'), a(499, 'A'), w(9000, 'W');
  std::string chunks;  // lines across the 1 MiB chunks, CR LF split across them
  Lines chunkLines;
  for (int i = 0; chunks.size() < (3u << 20); ++i) {
    chunkLines.emplace_back(static_cast<size_t>(i % 97), static_cast<char>('A' + i % 26));
    chunks += chunkLines.back() + (i % 3 == 0 ? "\r\n" : "\n");
  }
  const struct {
    std::string bytes;
    int size;
    Lines lines;
  } rows[] = {
      {"a\nbb\n\nccc", 500, {"a", "bb", "", "ccc"}},
      {"a\r\nbb\r\n", 500, {"a", "bb"}},  // CR LF is one line end; a lone CR a blank ending the line
      {"abc\rdef\n", 500, {"abc ", "def"}},
      {"x\ry\rz", 500, {"x ", "y ", "z"}},
      {"", 500, {}},
      {q + "\nEND\n", 500, {q.substr(0, 499), q.substr(0, 499), q.substr(0, 202), "END"}},
      {a + "\r\nB\n", 500, {a, "B"}},  // exactly 499 characters keep their own line end
      {w + "\nX\n", 20000, {w, "X"}},  // a size beyond the buffer of a small file: it grows
      {"a\r\nb", 3, {"a", "b"}},
      {std::string("ab\0cd\nef\n", 9), 500, {"ab", "ef"}},  // a NUL ends the string, not the file
      {chunks, 500, chunkLines},
  };
  for (const auto& row : rows) EXPECT_EQ(ReadAll(row.bytes, row.size), row.lines) << row.bytes.substr(0, 40);
}

TEST(MYFGETS, ReopenedOnALargerFileAndNulFlagsAcrossRefills) {
  test_support::TempFolder dir;
  std::string big, nuls;
  for (int i = 0; big.size() < 300000; ++i) big += std::to_string(i) + "\n";
  for (int i = 0; nuls.size() < (3u << 20); ++i) nuls += i % 1000 == 7 ? std::string("x\0y\r", 4) + "z\n" : "line\r\n";
  LineReader r;
  char buf[500];
  ASSERT_TRUE(r.Open(dir.Write("small", "one\n")));
  ASSERT_NE(MYFGETS(r, 500, buf), nullptr);
  EXPECT_STREQ(buf, "one");
  ASSERT_TRUE(r.Open(dir.Write("large", big)));
  for (int count = 0; MYFGETS(r, 500, buf) != nullptr;) EXPECT_EQ(std::string(buf), std::to_string(count++));
  EXPECT_EQ(r.Position(), big.size());
  const Read read = ReadEveryLine(dir.Write("nul", nuls), 500);
  int nulLines = 0;
  for (std::size_t i = 0; i < read.lines.size(); ++i) {
    if (read.nulFlags[i] != 0) {
      ++nulLines;
      EXPECT_EQ(read.lines[i], std::string("x\0y ", 4)) << i;  // the blank of the lone CR
    } else {
      EXPECT_TRUE(read.lines[i] == "line" || read.lines[i] == "z") << i;
    }
  }
  EXPECT_GT(nulLines, 400);
}

// Files of several megabytes are read ahead by a second thread; a pipe is
// read in order by the one thread. Both give the same lines, with every kind
// of line end, NUL bytes, and lines longer than the line size, at every chunk
// boundary.
TEST(MYFGETS, LargeFilesReadAheadGiveTheLinesOfAPipe) {
  std::string bytes;
  const char* ends[] = {"\n", "\r\n", "\r", "\n"};
  for (int i = 0; bytes.size() < (9u << 20); ++i) {
    bytes += std::string(static_cast<size_t>(i % 613), static_cast<char>('a' + i % 26));
    if (i % 101 == 5) bytes += std::string("n\0l", 3);
    bytes += ends[i % 4];
  }
  bytes += std::string(200000, 'L');  // a last line longer than any line size, without an end
  test_support::TempFolder dir;
  const std::string path = dir.Write("big", bytes);
  auto throughPipe = [&](int wideFrom) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    std::thread writer([&] {
      for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fds[1], bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
      }
      ::close(fds[1]);
    });
    Read read = ReadEveryLine("/proc/self/fd/" + std::to_string(fds[0]), 500, wideFrom);
    writer.join();
    ::close(fds[0]);
    return read;
  };
  const Read ahead = ReadEveryLine(path, 500);
  EXPECT_EQ(ahead.position, bytes.size());
  EXPECT_GT(ahead.lines.size(), 30000u);
  EXPECT_TRUE(ahead == throughPipe(-1));
  // A line size beyond the read-ahead headroom part-way: the reader goes on
  // in order without losing the chunk it had read ahead.
  const Read switched = ReadEveryLine(path, 500, 20000);
  EXPECT_TRUE(switched == throughPipe(20000));
  ASSERT_GE(switched.lines.size(), 3u);
  EXPECT_EQ(switched.lines[switched.lines.size() - 3].size(), 99999u);  // 200,000 = 99,999 + 99,999 + 2
  EXPECT_EQ(switched.lines.back(), "LL");
  // Going back to the start part-way through gives the same lines again.
  LineReader r;
  ASSERT_TRUE(r.Open(path));
  char buf[500];
  for (int i = 0; i < 25000; ++i) ASSERT_NE(MYFGETS(r, 500, buf), nullptr);
  ASSERT_TRUE(r.Rewind());
  std::size_t len = 0;
  for (std::size_t i = 0; i < 1000; ++i) {
    ASSERT_TRUE(r.ReadLine(buf, sizeof buf, len));
    EXPECT_EQ(std::string(buf, len), ahead.lines[i]) << i;
  }
}

}  // namespace
