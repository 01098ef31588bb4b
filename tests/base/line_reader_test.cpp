#include "vistram/base/line_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>
#include <vector>

#include "support/temp_folder.h"

// clang-format off
namespace {

using Lines = std::vector<std::string>;

// Every line of `path` (bytes, NUL flag) read with `size`, or 100,000 from line `wideFrom` on; the position.
struct Read {
  Lines lines;
  std::vector<int> nulFlags;
  std::uint64_t position = 0;
  bool operator==(const Read&) const = default;
};
Read ReadEveryLine(const std::string& path, std::size_t size, std::size_t wideFrom = SIZE_MAX) {
  Read out;
  LineReader r;
  EXPECT_TRUE(r.Open(path));
  std::vector<char> buf(100000);
  for (std::size_t len = 0; r.ReadLine(buf.data(), out.lines.size() >= wideFrom ? buf.size() : size, len);) {
    out.lines.emplace_back(buf.data(), len);
    out.nulFlags.push_back(r.LineHasNul());
  }
  out.position = r.Position();
  return out;
}

TEST(LineReader, LinesOfEachShapeAndReadAheadAsThroughAPipe) {
  const std::string q(1200, 'Q'), a(499, 'A'), w(9000, 'W');
  std::string chunks, nuls;  // lines across the 1 MiB chunks, CR LF split across them; NUL bytes in some
  Lines chunkLines, nulLines;
  for (int i = 0; chunks.size() < (3u << 20); ++i) {
    chunkLines.emplace_back(static_cast<size_t>(i % 97), static_cast<char>('A' + i % 26));
    chunks += chunkLines.back() + (i % 3 == 0 ? "\r\n" : "\n");
    nuls += i % 1000 == 7 ? std::string("x\0y\r", 4) + "z\n" : "line\r\n";
    if (i % 1000 == 7) nulLines.emplace_back("x\0y ", 4);  // the blank of the lone CR
    nulLines.emplace_back(i % 1000 == 7 ? "z" : "line");
  }
  // A lone CR is a blank ending the line; long lines come in pieces; a size beyond a small file's buffer.
  const struct { std::string bytes; std::size_t size; Lines lines; } rows[] = {
      {"a\nbb\n\nccc", 500, {"a", "bb", "", "ccc"}}, {"a\r\nbb\r\n", 500, {"a", "bb"}}, {"", 500, {}},
      {"abc\rdef\n", 500, {"abc ", "def"}}, {"x\ry\rz", 500, {"x ", "y ", "z"}}, {"a\r\nb", 3, {"a", "b"}},
      {q + "\nEND\n", 500, {q.substr(0, 499), q.substr(0, 499), q.substr(0, 202), "END"}},
      {a + "\r\nB\n", 500, {a, "B"}}, {w + "\nX\n", 20000, {w, "X"}},
      {std::string("ab\0cd\nef\n", 9), 500, {std::string("ab\0cd", 5), "ef"}},
      {chunks, 500, chunkLines}, {nuls, 500, nulLines}};
  test_support::TempFolder dir;
  for (const auto& row : rows) {
    const Read read = ReadEveryLine(dir.Write("lines", row.bytes), row.size);
    EXPECT_EQ(read.lines, row.lines) << row.bytes.substr(0, 40);
    EXPECT_EQ(read.position, row.bytes.size());
    for (std::size_t i = 0; i < read.lines.size(); ++i)
      EXPECT_EQ(read.nulFlags[i], read.lines[i].find('\0') != std::string::npos) << i;
  }
  // MYFGETS cuts the C string at a NUL; the reader opened again on a larger file.
  LineReader r;
  char buf[500];
  ASSERT_TRUE(r.Open(dir.Write("small", std::string("ab\0cd\n", 6))));
  EXPECT_TRUE(MYFGETS(r, 500, buf) != nullptr && std::string(buf) == "ab");
  std::string big;
  for (int i = 0; big.size() < 300000; ++i) big += std::to_string(i) + "\n";
  ASSERT_TRUE(r.Open(dir.Write("large", big)));
  for (int count = 0; MYFGETS(r, 500, buf) != nullptr;) EXPECT_EQ(std::string(buf), std::to_string(count++));
  EXPECT_EQ(r.Position(), big.size());

  // Large files are read ahead by a second thread, pipes in order: the same lines at every chunk boundary.
  std::string bytes;
  const char* ends[] = {"\n", "\r\n", "\r", "\n"};
  for (int i = 0; bytes.size() < (9u << 20); ++i)
    bytes += std::string(static_cast<size_t>(i % 613), static_cast<char>('a' + i % 26)) +
             (i % 101 == 5 ? std::string("n\0l", 3) : "") + ends[i % 4];
  bytes += std::string(200000, 'L');  // a last line longer than any line size, without an end
  const std::string path = dir.Write("big", bytes);
  const std::string fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto throughPipe = [&](std::size_t wideFrom) {
    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << bytes; });
    Read read = ReadEveryLine(fifo, 500, wideFrom);
    writer.join();
    return read;
  };
  const Read ahead = ReadEveryLine(path, 500);
  EXPECT_TRUE(ahead.position == bytes.size() && ahead.lines.size() > 30000 && ahead == throughPipe(SIZE_MAX));
  // A line size beyond the read-ahead headroom part-way: on in order, keeping the chunk read ahead.
  const Read switched = ReadEveryLine(path, 500, 20000);
  EXPECT_TRUE(switched == throughPipe(20000));
  ASSERT_GT(switched.lines.size(), 3u);  // 200,000 = 99,999 * 2 + 2
  EXPECT_TRUE(switched.lines.end()[-3].size() == 99999 && switched.lines.back() == "LL");
  // Going back to the start part-way through gives the same lines again.
  ASSERT_TRUE(r.Open(path));
  for (int i = 0; i < 25000; ++i) ASSERT_NE(MYFGETS(r, 500, buf), nullptr);
  ASSERT_TRUE(r.Rewind());
  for (std::size_t i = 0, len = 0; i < 1000; ++i)
    EXPECT_TRUE(r.ReadLine(buf, sizeof buf, len) && std::string(buf, len) == ahead.lines[i]) << i;
}

}  // namespace
// clang-format on
