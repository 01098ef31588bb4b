#include "vistram/base/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "vistram/base/text_scan.h"

namespace {
// Bytes read from the file at a time: 1 MB, or the whole file when it is
// smaller (at least 4 KB), so that a short file costs a short buffer.
constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kMinChunk = 4096;
// Files from this size on are read ahead; the unread end of a buffer (less
// than a line) moves into the headroom in front of the next chunk.
constexpr std::uint64_t kReadAheadFrom = 4 * kChunk;
constexpr std::size_t kHeadroom = 64 * 1024;
}  // namespace

LineReader::~LineReader() { Close(); }

bool LineReader::Open(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat st {};
  fileSize_ = (fstat(fd_, &st) == 0 && st.st_size > 0) ? static_cast<std::uint64_t>(st.st_size) : 0;
  pos_ = end_ = 0;
  filePos_ = 0;
  eof_ = false;
  crAt_ = nulAt_ = kUnknown;
  if (fileSize_ >= kReadAheadFrom) {
    StartReadAhead();
    if (ahead_) return true;
  }
  // (A size of 0 may be a pipe or a file of /proc: the full chunk then.)
  std::size_t want = kChunk;
  if (fileSize_ > 0 && fileSize_ + 2 < kChunk) want = std::max<std::size_t>(fileSize_ + 2, kMinChunk);
  if (!buf_ || cap_ < want) Reserve(want);
  return true;
}

void LineReader::Close() {
  StopReadAhead(false);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  pos_ = end_ = 0;
  filePos_ = 0;
  eof_ = false;
}

bool LineReader::Rewind() {
  if (fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0) return false;  // (a pipe cannot go back)
  if (ahead_ && requested_) AwaitChunk();  // (discarded)
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

std::size_t LineReader::ReadAt(char* to, std::size_t n, std::uint64_t offset) const {
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::pread(fd_, to + done, n - done, static_cast<off_t>(offset + done));
    // (A pipe has no offsets: it is read in order, which is the order asked.)
    if (got < 0 && errno == ESPIPE) got = ::read(fd_, to + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // the end of the file, or an error that ends the reading
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool LineReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  if (ahead_) return FillAhead();
  if (pos_ > 0) {
    std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  crAt_ = nulAt_ = kUnknown;
  const std::size_t n = ReadAt(buf_.get() + end_, cap_ - end_, filePos_);
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += n;
  filePos_ += n;
  return true;
}

bool LineReader::FillAhead() {
  if (!requested_) RequestChunk();
  const std::size_t n = AwaitChunk();
  if (n == 0) {
    eof_ = true;
    return false;
  }
  // The unread bytes (less than a line, which is less than the headroom)
  // go in front of the chunk, and the chunk's buffer becomes the current one.
  const std::size_t left = end_ - pos_;
  std::memcpy(spare_.get() + kHeadroom - left, buf_.get() + pos_, left);
  std::swap(buf_, spare_);
  pos_ = kHeadroom - left;
  end_ = kHeadroom + n;
  filePos_ += n;
  crAt_ = nulAt_ = kUnknown;
  RequestChunk();
  return true;
}

void LineReader::StartReadAhead() {
  buf_ = std::make_unique_for_overwrite<char[]>(kHeadroom + kChunk);
  spare_ = std::make_unique_for_overwrite<char[]>(kHeadroom + kChunk);
  cap_ = kHeadroom + kChunk;
  aheadStop_ = requested_ = chunkReady_ = false;
  try {
    aheadThread_ = std::thread([this] { ReadAheadLoop(); });
    ahead_ = true;
  } catch (const std::system_error&) {
    spare_.reset();  // read without a second thread
  }
}

void LineReader::StopReadAhead(bool keep) {
  if (!ahead_) return;
  // A chunk already asked for is kept (when asked): it follows the unread
  // bytes.
  const std::size_t n = requested_ ? AwaitChunk() : 0;
  {
    std::lock_guard<std::mutex> lock(aheadMutex_);
    aheadStop_ = true;
  }
  aheadChanged_.notify_all();
  aheadThread_.join();
  ahead_ = false;
  if (keep && n > 0) {
    const std::size_t left = end_ - pos_;
    auto joined = std::make_unique_for_overwrite<char[]>(std::max(cap_, left + n));
    std::memcpy(joined.get(), buf_.get() + pos_, left);
    std::memcpy(joined.get() + left, spare_.get() + kHeadroom, n);
    cap_ = std::max(cap_, left + n);
    buf_ = std::move(joined);
    pos_ = 0;
    end_ = left + n;
    filePos_ += n;
    crAt_ = nulAt_ = kUnknown;
  }
  spare_.reset();
}

void LineReader::RequestChunk() {
  {
    std::lock_guard<std::mutex> lock(aheadMutex_);
    requestOffset_ = filePos_;
    requestTo_ = spare_.get() + kHeadroom;
    requested_ = true;
    chunkReady_ = false;
  }
  aheadChanged_.notify_all();
}

std::size_t LineReader::AwaitChunk() {
  std::unique_lock<std::mutex> lock(aheadMutex_);
  aheadChanged_.wait(lock, [this] { return chunkReady_; });
  requested_ = false;
  chunkReady_ = false;
  return chunkLength_;
}

void LineReader::ReadAheadLoop() {
  std::unique_lock<std::mutex> lock(aheadMutex_);
  for (;;) {
    aheadChanged_.wait(lock, [this] { return aheadStop_ || (requested_ && !chunkReady_); });
    if (aheadStop_) return;
    char* to = requestTo_;
    const std::uint64_t offset = requestOffset_;
    lock.unlock();
    const std::size_t n = ReadAt(to, kChunk, offset);
    lock.lock();
    chunkLength_ = n;
    chunkReady_ = true;
    aheadChanged_.notify_all();
  }
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
  if (size < 2 || fd_ < 0) return false;
  const std::size_t max = size - 1;
  if (ahead_ && max + 2 > kHeadroom) StopReadAhead(true);  // a line longer than the headroom
  if (max + 2 > cap_) Reserve(max + 2);
  // Make sure the whole line (up to max characters plus a possible CR LF) is
  // in the buffer, unless the file ends first.
  if (end_ - pos_ < max + 2) Fill();
  if (pos_ >= end_) return false;

  char* start = buf_.get() + pos_;
  data = start;
  const std::size_t avail = end_ - pos_;
  const std::size_t scan = std::min(avail, max);
  // Most lines hold no carriage return and no NUL byte: they end at the
  // first of the three.
  const char* lf = FindLineStop(start, start + scan);
  if (lf != nullptr && *lf != '\n') {
    lf = FindByte(lf, start + scan, '\n');
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
  } else {
    lineHasNul_ = false;
  }
  const std::size_t lineLen = lf != nullptr ? static_cast<std::size_t>(lf - start) : scan;
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
