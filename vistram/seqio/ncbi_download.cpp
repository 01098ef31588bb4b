#include "vistram/seqio/ncbi_download.h"

#include <cstring>
#include <string>

#include "seqfetch/seqfetch.h"
#include "vistram/platform/messages.h"

SequenceText RetrieveNcbiSequence(std::string_view identifier, int databaseNumber, int& status) {
  status = 0;
  const std::string id(identifier.substr(0, kNcbiIdentifierMax));
  char* fetched = NCBI_RetrieveBioSeq(id.c_str(), databaseNumber, &status, nullptr, nullptr);
  if (fetched == nullptr) {
    if (status == 0) status = SEQFETCH_BAD_ANSWER;
    return {};
  }
  // The library's text is checked, copied into our own block and released
  // before anything else is done with it.
  const std::size_t length = std::strlen(fetched);
  bool valid = length <= kMaxSequenceResidues;
  for (std::size_t i = 0; valid && i < length; ++i) {
    const char c = fetched[i];
    valid = (c >= 'A' && c <= 'Z') || c == '*';
  }
  SequenceText copy;
  if (valid) copy = CopySequenceText(std::string_view(fetched, length));
  NCBI_DeleteBioSeq(&fetched);
  if (!valid) {
    status = kNcbiStatusNotASequenceText;
    return {};
  }
  if (!copy) status = SEQFETCH_NO_MEMORY;
  return copy;
}

int NcbiStatusMessage(int status) {
  switch (status) {
    case SEQFETCH_NO_CONNECTION: return IDS_NCBI_NO_CONNECTION;
    case SEQFETCH_NOT_PROTEIN: return IDS_NCBI_NOT_PROTEIN;
    case SEQFETCH_BAD_IDENTIFIER: return IDS_NCBI_BAD_ACCESS_CODE;
    default: return 0;
  }
}
