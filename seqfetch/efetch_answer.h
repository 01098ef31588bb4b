// Reading an efetch answer (rettype=fasta): the residues of its first entry,
// or the reason why there are none.
#pragma once
#include <string>
#include <string_view>

namespace seqfetch {

// The largest answer read; a longer one is refused (no protein comes close).
inline constexpr std::size_t kMaxAnswerBytes = 4u << 20;

enum class AnswerKind {
  Sequence,       // residues found
  UnknownId,      // NCBI refused or does not know the identifier
  Unreadable,     // not a FASTA entry, or invalid characters
  ServerFailure,  // the service is down or overloaded
};

struct Answer {
  AnswerKind kind = AnswerKind::Unreadable;
  std::string residues;  // upper-case letters and '*'
};

// Classifies an answer by its HTTP status and body.
Answer ReadEfetchAnswer(long httpStatus, std::string_view body);

// The identifier with blanks around it removed; empty when it is refused
// (empty, longer than 64 bytes, or holding a byte that is no printable ASCII).
std::string CleanIdentifier(std::string_view identifier);

}  // namespace seqfetch
