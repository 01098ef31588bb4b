#include "vistram/results/line_reader.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace {
// Bytes read from the file at a time: 1 MB, or the whole file when it is
// smaller (at least 4 KB), so that a short file costs a short buffer.
constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kMinChunk = 4096;
}

LineReader::~LineReader() { Close(); }

bool LineReader::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return false;
  struct stat st {};
  fileSize_ = (fstat(fileno(file_), &st) == 0 && st.st_size > 0) ? static_cast<std::uint64_t>(st.st_size) : 0;
  // (A size of 0 may be a pipe or a file of /proc: the full chunk then.)
  std::size_t want = kChunk;
  if (fileSize_ > 0 && fileSize_ + 2 < kChunk) want = std::max<std::size_t>(fileSize_ + 2, kMinChunk);
  if (!buf_ || cap_ < want) Reserve(want);
  pos_ = end_ = 0;
  filePos_ = 0;
  eof_ = false;
  crAt_ = nulAt_ = kUnknown;
  return true;
}

void LineReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  pos_ = end_ = 0;
  filePos_ = 0;
  eof_ = false;
}

bool LineReader::Rewind() {
  if (file_ == nullptr) return false;
  if (std::fseek(file_, 0, SEEK_SET) != 0) return false;
  pos_ = end_ = 0;
  filePos_ = 0;
  eof_ = false;
  crAt_ = nulAt_ = kUnknown;
  return true;
}

void LineReader::Reserve(std::size_t capacity) {
  auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
  if (end_ > pos_) std::memcpy(bigger.get(), buf_.get() + pos_, end_ - pos_);
  end_ -= pos_;
  pos_ = 0;
  buf_ = std::move(bigger);
  cap_ = capacity;
  crAt_ = nulAt_ = kUnknown;
}

bool LineReader::Fill() {
  if (eof_ || file_ == nullptr) return false;
  if (pos_ > 0) {
    std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
    crAt_ = nulAt_ = kUnknown;
  }
  std::size_t n = std::fread(buf_.get() + end_, 1, cap_ - end_, file_);
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += n;
  filePos_ += n;
  crAt_ = nulAt_ = kUnknown;
  return true;
}

bool LineReader::ReadLine(char* buffer, std::size_t size) {
  std::size_t length = 0;
  return ReadLine(buffer, size, length);
}

bool LineReader::ReadLine(char* buffer, std::size_t size, std::size_t& length) {
  const char* data = nullptr;
  if (!ReadLineView(size, data, length)) return false;
  std::memcpy(buffer, data, length);
  buffer[length] = '\0';
  return true;
}

bool LineReader::ReadLineView(std::size_t size, const char*& data, std::size_t& length) {
  length = 0;
  if (size < 2 || file_ == nullptr) return false;
  const std::size_t max = size - 1;
  if (max + 2 > cap_) Reserve(max + 2);
  // Make sure the whole line (up to max characters plus a possible CR LF) is
  // in the buffer, unless the file ends first.
  if (end_ - pos_ < max + 2) Fill();
  if (pos_ >= end_) return false;

  char* start = buf_.get() + pos_;
  data = start;
  const std::size_t avail = end_ - pos_;
  const std::size_t scan = std::min(avail, max);
  const char* lf = static_cast<const char*>(std::memchr(start, '\n', scan));
  const std::size_t lineLen = lf != nullptr ? static_cast<std::size_t>(lf - start) : scan;
  // Carriage returns and NUL bytes are rare: their next positions in the
  // buffer are found once and reused until a line passes them.
  if (crAt_ == kUnknown || crAt_ < pos_) crAt_ = NextInBuffer('\r');
  char* cr = crAt_ < pos_ + lineLen ? buf_.get() + crAt_ : nullptr;
  const std::size_t kept = cr != nullptr ? static_cast<std::size_t>(cr - start) : lineLen;
  if (nulAt_ == kUnknown || nulAt_ < pos_) nulAt_ = NextInBuffer('\0');
  lineHasNul_ = nulAt_ < pos_ + kept;

  if (cr != nullptr) {
    length = kept;
    if (kept + 1 < avail && start[kept + 1] == '\n') {
      // CR LF: one line end.
      pos_ += kept + 2;
    } else {
      // Lone CR: it becomes a blank that ends the line (written over the
      // CR in the buffer, which the line consumes).
      *cr = ' ';
      length = kept + 1;
      pos_ += kept + 1;
    }
    return true;
  }
  length = lineLen;
  pos_ += lineLen;
  if (lf != nullptr) {
    pos_ += 1;
  } else if (lineLen == max && pos_ < end_ && buf_[pos_] == '\r' && pos_ + 1 < end_ && buf_[pos_ + 1] == '\n') {
    // A line of exactly max characters ending in CR LF: its end belongs to it.
    pos_ += 2;
  } else if (lineLen == max && pos_ < end_ && buf_[pos_] == '\n') {
    pos_ += 1;
  }
  return true;
}

std::size_t LineReader::NextInBuffer(char c) const {
  const void* p = std::memchr(buf_.get() + pos_, c, end_ - pos_);
  return p != nullptr ? static_cast<std::size_t>(static_cast<const char*>(p) - buf_.get()) : end_;
}

char* MYFGETS(LineReader& file, int size, char* buffer) {
  if (size < 2) return nullptr;
  return file.ReadLine(buffer, static_cast<std::size_t>(size)) ? buffer : nullptr;
}
