#include "seqfetch/efetch_answer.h"

namespace seqfetch {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimLeft(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  return s.substr(i);
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = s[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    char b = prefix[i];
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

Answer ReadEfetchAnswer(long httpStatus, std::string_view body) {
  Answer answer;
  if (httpStatus == 429 || httpStatus >= 500) {
    answer.kind = AnswerKind::ServerFailure;
    return answer;
  }
  std::string_view text = TrimLeft(body);
  // E-utilities answers an identifier it cannot read or find with a short
  // "Error: ..." text (status 200 or 400), or with nothing at all.
  if (httpStatus == 400 || httpStatus == 404 || text.empty() || StartsWithNoCase(text, "Error") ||
      StartsWithNoCase(text, "Failed")) {
    answer.kind = AnswerKind::UnknownId;
    return answer;
  }
  if (httpStatus != 200 || text.front() != '>') {
    answer.kind = AnswerKind::Unreadable;
    return answer;
  }
  // The header line, then residue lines up to the next entry.
  std::size_t pos = text.find('\n');
  if (pos == std::string_view::npos) {
    answer.kind = AnswerKind::Unreadable;
    return answer;
  }
  for (++pos; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '>' && text[pos - 1] == '\n') break;
    if (IsSpace(c)) continue;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if ((c < 'A' || c > 'Z') && c != '*') {
      answer.residues.clear();
      answer.kind = AnswerKind::Unreadable;
      return answer;
    }
    answer.residues.push_back(c);
  }
  answer.kind = answer.residues.empty() ? AnswerKind::Unreadable : AnswerKind::Sequence;
  return answer;
}

std::string CleanIdentifier(std::string_view identifier) {
  std::size_t b = 0;
  std::size_t e = identifier.size();
  while (b < e && identifier[b] == ' ') ++b;
  while (e > b && identifier[e - 1] == ' ') --e;
  std::string_view id = identifier.substr(b, e - b);
  if (id.empty() || id.size() > 64) return {};
  for (char c : id) {
    if (c < 0x20 || c > 0x7E) return {};
  }
  return std::string(id);
}

}  // namespace seqfetch
