#include "vistram/results/line_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

std::vector<std::string> ReadAll(const std::string& bytes, int size = 500) {
  auto path = std::filesystem::temp_directory_path() / ("vistram_lr_" + std::to_string(::getpid()));
  { std::ofstream(path, std::ios::binary) << bytes; }
  LineReader r;
  EXPECT_TRUE(r.Open(path.string()));
  std::vector<std::string> lines;
  std::vector<char> buf(static_cast<size_t>(size));
  while (MYFGETS(r, size, buf.data()) != nullptr) lines.emplace_back(buf.data());
  EXPECT_EQ(r.Position(), bytes.size());
  std::filesystem::remove(path);
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
  auto dir = std::filesystem::temp_directory_path();
  auto small = dir / ("vistram_lr_s" + std::to_string(::getpid()));
  auto large = dir / ("vistram_lr_l" + std::to_string(::getpid()));
  std::string big;
  for (int i = 0; big.size() < 300000; ++i) big += std::to_string(i) + "\n";
  { std::ofstream(small, std::ios::binary) << "one\n"; }
  { std::ofstream(large, std::ios::binary) << big; }
  LineReader r;
  char buf[500];
  ASSERT_TRUE(r.Open(small.string()));
  ASSERT_NE(MYFGETS(r, 500, buf), nullptr);
  EXPECT_STREQ(buf, "one");
  ASSERT_TRUE(r.Open(large.string()));
  int count = 0;
  while (MYFGETS(r, 500, buf) != nullptr) EXPECT_EQ(std::string(buf), std::to_string(count++));
  EXPECT_EQ(r.Position(), big.size());
  std::filesystem::remove(small);
  std::filesystem::remove(large);
}

TEST(MYFGETS, NulBytesEndTheStringButNotTheFile) {
  std::string bytes = std::string("ab\0cd\nef\n", 9);
  EXPECT_EQ(ReadAll(bytes), (Lines{"ab", "ef"}));
  // The reader tells which lines held one, also after a lone CR and across
  // its buffer refills.
  auto path = std::filesystem::temp_directory_path() / ("vistram_lr_n" + std::to_string(::getpid()));
  std::string many;
  for (int i = 0; many.size() < (3u << 20); ++i) many += i % 1000 == 7 ? std::string("x\0y\r", 4) + "z\n" : "line\r\n";
  { std::ofstream(path, std::ios::binary) << many; }
  LineReader r;
  ASSERT_TRUE(r.Open(path.string()));
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
  std::filesystem::remove(path);
}

}  // namespace
