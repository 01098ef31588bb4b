#include "vistram/base/line_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>
#include <vector>

#include "support/temp_folder.h"

namespace {

std::vector<std::string> ReadAll(const std::string& bytes, int size = 500) {
  test_support::TempFolder dir;
  LineReader r;
  EXPECT_TRUE(r.Open(dir.Write("lines", bytes)));
  std::vector<std::string> lines;
  std::vector<char> buf(static_cast<size_t>(size));
  while (MYFGETS(r, size, buf.data()) != nullptr) lines.emplace_back(buf.data());
  EXPECT_EQ(r.Position(), bytes.size());
  return lines;
}

using Lines = std::vector<std::string>;

TEST(MYFGETS, LineEnds) {
  EXPECT_EQ(ReadAll("a\nbb\n\nccc"), (Lines{"a", "bb", "", "ccc"}));
  // CR LF is one line end; a lone CR becomes a blank and ends the line.
  EXPECT_EQ(ReadAll("a\r\nbb\r\n"), (Lines{"a", "bb"}));
  EXPECT_EQ(ReadAll("abc\rdef\n"), (Lines{"abc ", "def"}));
  EXPECT_EQ(ReadAll("x\ry\rz"), (Lines{"x ", "y ", "z"}));
  EXPECT_EQ(ReadAll(""), Lines{});
}

TEST(MYFGETS, LongLinesComeBackInPieces) {
  std::string longLine(1200, 'Q');
  auto lines = ReadAll(longLine + "\nEND\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].size(), 499u);
  EXPECT_EQ(lines[1].size(), 499u);
  EXPECT_EQ(lines[2].size(), 202u);
  EXPECT_EQ(lines[3], "END");
  // A line of exactly 499 characters keeps its own line end.
  EXPECT_EQ(ReadAll(std::string(499, 'A') + "\r\nB\n"), (Lines{std::string(499, 'A'), "B"}));
}

TEST(MYFGETS, LinesAcrossBufferBoundaries) {
  // Lines that straddle the reader's 1 MiB chunks, with CR LF split across them.
  std::string bytes;
  Lines expected;
  for (int i = 0; bytes.size() < (3u << 20); ++i) {
    std::string line(static_cast<size_t>(i % 97), static_cast<char>('A' + i % 26));
    bytes += line + (i % 3 == 0 ? "\r\n" : "\n");
    expected.push_back(line);
  }
  EXPECT_EQ(ReadAll(bytes), expected);
}

TEST(MYFGETS, ShortFilesAndLongLineSizes) {
  // A file smaller than the reader's buffer, read with a line size larger
  // than the buffer it was opened with: the buffer grows, nothing is cut.
  const std::string line(9000, 'W');
  EXPECT_EQ(ReadAll(line + "\nX\n", 20000), (Lines{line, "X"}));
  EXPECT_EQ(ReadAll("a\r\nb", 3), (Lines{"a", "b"}));
  // The same reader opened again on a larger file after a small one.
  test_support::TempFolder dir;
  std::string big;
  for (int i = 0; big.size() < 300000; ++i) big += std::to_string(i) + "\n";
  const std::string small = dir.Write("small", "one\n"), large = dir.Write("large", big);
  LineReader r;
  char buf[500];
  ASSERT_TRUE(r.Open(small));
  ASSERT_NE(MYFGETS(r, 500, buf), nullptr);
  EXPECT_STREQ(buf, "one");
  ASSERT_TRUE(r.Open(large));
  int count = 0;
  while (MYFGETS(r, 500, buf) != nullptr) EXPECT_EQ(std::string(buf), std::to_string(count++));
  EXPECT_EQ(r.Position(), big.size());
}

TEST(MYFGETS, NulBytesEndTheStringButNotTheFile) {
  std::string bytes = std::string("ab\0cd\nef\n", 9);
  EXPECT_EQ(ReadAll(bytes), (Lines{"ab", "ef"}));
  // The reader tells which lines held one, also after a lone CR and across
  // its buffer refills.
  test_support::TempFolder dir;
  std::string many;
  for (int i = 0; many.size() < (3u << 20); ++i) many += i % 1000 == 7 ? std::string("x\0y\r", 4) + "z\n" : "line\r\n";
  LineReader r;
  ASSERT_TRUE(r.Open(dir.Write("nul", many)));
  char buf[500];
  int nulLines = 0;
  int lines = 0;
  for (std::size_t len = 0; r.ReadLine(buf, sizeof buf, len); ++lines) {
    if (r.LineHasNul()) {
      ++nulLines;
      EXPECT_EQ(len, 4u);  // "x", NUL, "y" and the blank of the lone CR
    } else {
      EXPECT_TRUE(std::string(buf) == "line" || std::string(buf) == "z") << lines;
    }
  }
  EXPECT_GT(nulLines, 400);
}

}  // namespace

namespace {

// Every line of `path` with its length and NUL flag, read with `size`, or
// with a size of 100,000 for the lines from `wideFrom` on.
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

}  // namespace

TEST(MYFGETS, LargeFilesReadAheadGiveTheLinesOfAPipe) {
  // Files of several megabytes are read ahead by a second thread; a pipe is
  // read in order by the one thread. Both give the same lines, with every
  // kind of line end, NUL bytes, and lines longer than the line size, at
  // every chunk boundary.
  std::string bytes;
  for (int i = 0; bytes.size() < (9u << 20); ++i) {
    bytes += std::string(static_cast<size_t>(i % 613), static_cast<char>('a' + i % 26));
    if (i % 101 == 5) bytes += std::string("n\0l", 3);
    const char* ends[] = {"\n", "\r\n", "\r", "\n"};
    bytes += ends[i % 4];
  }
  bytes += std::string(200000, 'L');  // a last line longer than any line size, without an end
  test_support::TempFolder dir;
  const std::string path = dir.Write("big", bytes);

  auto throughPipe = [&](int size, int wideFrom) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    std::thread writer([&] {
      std::size_t done = 0;
      while (done < bytes.size()) {
        const ssize_t n = ::write(fds[1], bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
      }
      ::close(fds[1]);
    });
    Read read = ReadEveryLine("/proc/self/fd/" + std::to_string(fds[0]), size, wideFrom);
    writer.join();
    ::close(fds[0]);
    return read;
  };

  const Read ahead = ReadEveryLine(path, 500);
  const Read inOrder = throughPipe(500, -1);
  EXPECT_EQ(ahead.position, bytes.size());
  EXPECT_GT(ahead.lines.size(), 30000u);
  EXPECT_TRUE(ahead == inOrder);
  // A line size beyond the read-ahead headroom part-way: the reader goes on
  // in order without losing the chunk it had read ahead.
  const Read switched = ReadEveryLine(path, 500, 20000);
  EXPECT_TRUE(switched == throughPipe(500, 20000));
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
  r.Close();
}
