// Follows an HTTP answer as its bytes arrive, to tell when it is complete:
// after its Content-Length, after the last chunk of a chunked body, at the
// end of the header block for answers without a body, and otherwise only when
// the server closes the connection.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

class HttpAnswer {
 public:
  // With `body` given, the page itself (without the header block, chunks
  // joined) is appended to it as it is read.
  explicit HttpAnswer(std::string* body = nullptr) : body_(body) {}
  void Feed(std::string_view bytes);
  bool Complete() const { return state_ == Done; }
  int Status() const { return status_; }

 private:
  enum State { Head, Length, ChunkSize, ChunkData, ChunkEnd, Trailer, UntilClose, Done };
  void EndOfHead();
  void Body(std::string_view bytes);

  std::string* body_;
  State state_ = Head;
  std::string head_;
  std::string line_;
  int status_ = 0;
  unsigned long long left_ = 0;
};

// The page of a stored answer: the header block dropped and chunks joined.
// A text that does not start as an HTTP answer is returned unchanged.
std::string AnswerPage(std::string_view answer);
