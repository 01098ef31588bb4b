#include "vistweb/http_answer.h"

#include <cctype>
#include <cstdlib>

#include "vistweb/form_body.h"

namespace {

constexpr std::size_t kLongestHead = 65536;

// The value of header `name` in `head` (case-insensitive name), or empty.
std::string HeaderValue(const std::string& head, std::string_view name) {
  std::size_t pos = 0;
  while (pos < head.size()) {
    std::size_t end = head.find('\n', pos);
    if (end == std::string::npos) end = head.size();
    std::string_view line(head.data() + pos, end - pos);
    std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && colon == name.size() && ContainsNoCase(line.substr(0, colon), name)) {
      std::string_view value = line.substr(colon + 1);
      while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
      while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.remove_suffix(1);
      return std::string(value);
    }
    pos = end + 1;
  }
  return {};
}

}  // namespace

void HttpAnswer::Feed(std::string_view bytes) {
  if (state_ == Head) {
    head_.append(bytes);
    if (head_.size() >= 5 && head_.compare(0, 5, "HTTP/") != 0) {
      state_ = UntilClose;
      Body(head_);
      return;
    }
    std::size_t crlf = head_.find("\r\n\r\n");
    std::size_t lf = head_.find("\n\n");
    std::size_t end = std::string::npos;
    if (crlf != std::string::npos && (lf == std::string::npos || crlf < lf))
      end = crlf + 4;
    else if (lf != std::string::npos)
      end = lf + 2;
    if (end == std::string::npos) {
      if (head_.size() > kLongestHead) state_ = UntilClose;
      return;
    }
    std::string rest = head_.substr(end);
    head_.resize(end);
    EndOfHead();
    if (state_ == Head) {  // an interim 1xx answer: the real one follows
      head_.clear();
      Feed(rest);
      return;
    }
    bytes = rest;
    Body(bytes);
    return;
  }
  Body(bytes);
}

void HttpAnswer::EndOfHead() {
  std::size_t blank = head_.find(' ');
  status_ = blank == std::string::npos ? 0 : std::atoi(head_.c_str() + blank + 1);
  if (status_ >= 100 && status_ < 200) return;
  if (status_ == 204 || status_ == 304) {
    state_ = Done;
    return;
  }
  if (ContainsNoCase(HeaderValue(head_, "Transfer-Encoding"), "chunked")) {
    state_ = ChunkSize;
    return;
  }
  std::string length = HeaderValue(head_, "Content-Length");
  if (std::isdigit(static_cast<unsigned char>(length.c_str()[0]))) {
    left_ = std::strtoull(length.c_str(), nullptr, 10);
    state_ = left_ == 0 ? Done : Length;
    return;
  }
  state_ = UntilClose;
}

void HttpAnswer::Body(std::string_view bytes) {
  while (!bytes.empty() && state_ != Done) {
    switch (state_) {
      case UntilClose:
        if (body_ != nullptr) body_->append(bytes);
        return;
      case Length:
      case ChunkData: {
        std::size_t take = left_ < bytes.size() ? static_cast<std::size_t>(left_) : bytes.size();
        if (body_ != nullptr) body_->append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        left_ -= take;
        if (left_ == 0) state_ = state_ == Length ? Done : ChunkEnd;
        break;
      }
      default: {  // line-based states: chunk size, the line end after data, trailers
        std::size_t nl = bytes.find('\n');
        line_.append(bytes.substr(0, nl));
        if (nl == std::string_view::npos) return;
        bytes.remove_prefix(nl + 1);
        if (line_.ends_with('\r')) line_.pop_back();
        if (state_ == ChunkSize) {
          left_ = std::strtoull(line_.c_str(), nullptr, 16);
          state_ = left_ == 0 ? Trailer : ChunkData;
        } else if (state_ == ChunkEnd) {
          state_ = ChunkSize;
        } else if (line_.empty()) {  // Trailer: an empty line ends the answer
          state_ = Done;
        }
        line_.clear();
      }
    }
  }
}

std::string AnswerPage(std::string_view answer) {
  if (answer.substr(0, 5) != "HTTP/") return std::string(answer);
  std::string page;
  HttpAnswer reader(&page);
  reader.Feed(answer);
  return page;
}
