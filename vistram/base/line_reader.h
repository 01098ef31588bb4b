// The line reader of the report parsers. MYFGETS reads one line of at most
// size - 1 characters, as the standard line reader does (the rest of a longer
// line comes back as the next line), with the line end removed:
// - a line feed, or a carriage return followed by a line feed, ends a line;
// - a lone carriage return becomes one blank that ends the line, and what
//   follows it is read as the next line.
// The reader is buffered so that a report of hundreds of megabytes is read
// at the speed of the disk; for a file of several megabytes a second thread
// reads the next megabyte while the lines of this one are taken.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class LineReader {
 public:
  LineReader() = default;
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Opens `path` for reading; false when it cannot be opened.
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();
  // Goes back to the start of the file.
  bool Rewind();

  // Reads the next line into buffer (size bytes, size >= 2), NUL-terminated
  // and without its line end. False at end of file. Bytes after a NUL inside
  // a line are kept in the buffer but end the C string.
  bool ReadLine(char* buffer, std::size_t size);
  // As ReadLine, also giving the number of bytes stored (before the NUL terminator).
  bool ReadLine(char* buffer, std::size_t size, std::size_t& length);

  // As ReadLine, without the copy: data points into the reader's buffer,
  // valid until the next read, Rewind or Close; the line is not
  // NUL-terminated.
  bool ReadLineView(std::size_t size, const char*& data, std::size_t& length);

  // True when the line last read held a NUL byte (its C string ends there).
  bool LineHasNul() const { return lineHasNul_; }

  // Bytes of the file consumed so far and the file's size (for progress).
  std::uint64_t Position() const { return filePos_ - (end_ - pos_); }
  std::uint64_t FileSize() const { return fileSize_; }

 private:
  void Reserve(std::size_t capacity);  // a buffer of `capacity` bytes, keeping the unread bytes
  bool Fill();  // moves the unread bytes to the front and reads more; false when nothing more
  bool FillAhead();  // Fill when the next chunk is read ahead
  // Index in buf_ of the next `c` at or after pos_, or end_ when none.
  std::size_t NextInBuffer(char c) const;
  // Reads up to n bytes at `offset` (short only at the file's end or on an
  // error); the count read.
  std::size_t ReadAt(char* to, std::size_t n, std::uint64_t offset) const;

  // Reading ahead: the thread reads the chunk after buf_'s into spare_,
  // after kHeadroom bytes where the unread end of buf_ goes when they swap.
  void StartReadAhead();
  void StopReadAhead(bool keep);  // ends the thread; keeps what it read when `keep`
  void RequestChunk();         // asks for the chunk at filePos_ into spare_
  std::size_t AwaitChunk();    // waits for the chunk asked for; its length
  void ReadAheadLoop();

  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);

  int fd_ = -1;
  std::unique_ptr<char[]> buf_;
  std::size_t cap_ = 0;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::uint64_t filePos_ = 0;  // bytes of the file delivered into buf_ so far
  std::uint64_t fileSize_ = 0;
  bool eof_ = false;
  std::size_t crAt_ = kUnknown;   // next '\r' in buf_ at or after pos_ (end_: none), or unknown
  std::size_t nulAt_ = kUnknown;  // the same for NUL bytes
  bool lineHasNul_ = false;

  bool ahead_ = false;           // the read-ahead thread runs
  std::unique_ptr<char[]> spare_;
  std::thread aheadThread_;
  std::mutex aheadMutex_;
  std::condition_variable aheadChanged_;
  bool requested_ = false;       // a chunk is asked for and not yet taken
  bool chunkReady_ = false;      // the chunk asked for is read
  bool aheadStop_ = false;
  std::uint64_t requestOffset_ = 0;
  char* requestTo_ = nullptr;
  std::size_t chunkLength_ = 0;
};

// Reads one line (see above) of at most size - 1 characters. Returns buffer,
// or null at end of file.
char* MYFGETS(LineReader& file, int size, char* buffer);
