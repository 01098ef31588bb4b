// The two entry points of libseqfetch over libcurl.
#include "seqfetch/seqfetch.h"

#include <curl/curl.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "seqfetch/efetch_answer.h"

namespace {

using seqfetch::AnswerKind;

constexpr const char* kDefaultBase = "https://eutils.ncbi.nlm.nih.gov/entrez/eutils/";
constexpr long kDefaultTimeoutSeconds = 60;
constexpr long kConnectTimeoutSeconds = 15;

struct Database {
  const char* name;
  bool alsoNucleotide;  // an identifier unknown as protein is looked up as nucleotide
};
// By number, from 1, in the order of the list offered to the user.
constexpr Database kDatabases[] = {
    {"DDBJ", true}, {"EMBL", true}, {"GenBank_GI", true}, {"GenPept", false}, {"PDB", false},
    {"PIR", false}, {"PRF", false}, {"SwissProt", false}, {"RefSeq", false}, {"BBS", false},
};

std::string BaseAddress() {
  const char* env = std::getenv("VISTRAM_EUTILS_BASE");
  std::string base = (env != nullptr && *env != '\0') ? env : kDefaultBase;
  if (base.back() != '/') base.push_back('/');
  return base;
}

long TimeoutSeconds() {
  const char* env = std::getenv("VISTRAM_EUTILS_TIMEOUT");
  if (env == nullptr || *env == '\0') return kDefaultTimeoutSeconds;
  char* end = nullptr;
  long value = std::strtol(env, &end, 10);
  if (end == env || *end != '\0' || value < 1 || value > 300) return kDefaultTimeoutSeconds;
  return value;
}

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Body {
  std::string bytes;
  bool tooLarge = false;
};

// Appends what arrives, refusing to grow past the largest answer allowed.
size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* body = static_cast<Body*>(user);
  const size_t n = size * count;
  if (n > seqfetch::kMaxAnswerBytes - body->bytes.size()) {
    body->tooLarge = true;
    return 0;  // ends the transfer
  }
  try {
    body->bytes.append(data, n);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return n;
}

// Counts the header bytes: an answer whose header ends the transfer after
// it has begun is a bad answer (curl refuses a header line of more than
// 100 KB as if memory were exhausted).
size_t CountHeader(char*, size_t size, size_t count, void* user) {
  *static_cast<size_t*>(user) += size * count;
  return size * count;
}

struct CurlDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct CurlTextDeleter {
  void operator()(char* s) const { curl_free(s); }
};

// One efetch request. Returns the answer's kind and residues; `status` gets
// the failure status when the request itself fails.
seqfetch::Answer Efetch(const char* database, const std::string& identifier, int& failure) {
  seqfetch::Answer answer;
  answer.kind = AnswerKind::ServerFailure;
  failure = SEQFETCH_NO_CONNECTION;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return answer;
  std::unique_ptr<char, CurlTextDeleter> escaped(
      curl_easy_escape(curl.get(), identifier.c_str(), static_cast<int>(identifier.size())));
  if (!escaped) return answer;
  const std::string url = BaseAddress() + "efetch.fcgi?db=" + database + "&id=" + escaped.get() +
                          "&rettype=fasta&retmode=text&tool=vistram";
  Body body;
  const long timeout = TimeoutSeconds();
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  const long connectTimeout = timeout < kConnectTimeoutSeconds ? timeout : kConnectTimeoutSeconds;
  curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, connectTimeout);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, timeout);
  curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, "vistram-seqfetch/1.0");
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
  size_t headerBytes = 0;
  curl_easy_setopt(curl.get(), CURLOPT_HEADERFUNCTION, CountHeader);
  curl_easy_setopt(curl.get(), CURLOPT_HEADERDATA, &headerBytes);
  const CURLcode rc = curl_easy_perform(curl.get());
  if (rc != CURLE_OK) {
    const bool oversized = rc == CURLE_OUT_OF_MEMORY && headerBytes > 0 && body.bytes.empty();
    const bool bad = body.tooLarge || oversized;
    failure = bad ? SEQFETCH_BAD_ANSWER : rc == CURLE_OUT_OF_MEMORY ? SEQFETCH_NO_MEMORY : SEQFETCH_NO_CONNECTION;
    answer.kind = bad ? AnswerKind::Unreadable : AnswerKind::ServerFailure;
    return answer;
  }
  long http = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &http);
  answer = seqfetch::ReadEfetchAnswer(http, body.bytes);
  switch (answer.kind) {
    case AnswerKind::Sequence: failure = 0; break;
    case AnswerKind::UnknownId: failure = SEQFETCH_BAD_IDENTIFIER; break;
    case AnswerKind::Unreadable: failure = SEQFETCH_BAD_ANSWER; break;
    case AnswerKind::ServerFailure: failure = SEQFETCH_NO_CONNECTION; break;
  }
  return answer;
}

char* Retrieve(const char* identifier, int database, int& status) {
  if (database < 1 || database > static_cast<int>(std::size(kDatabases))) {
    status = SEQFETCH_BAD_DATABASE;
    return nullptr;
  }
  const std::string id = seqfetch::CleanIdentifier(identifier != nullptr ? identifier : "");
  if (id.empty()) {
    status = SEQFETCH_BAD_IDENTIFIER;
    return nullptr;
  }
  InitCurlOnce();
  int failure = 0;
  seqfetch::Answer answer = Efetch("protein", id, failure);
  if (answer.kind == AnswerKind::UnknownId && kDatabases[database - 1].alsoNucleotide) {
    int nucleotideFailure = 0;
    seqfetch::Answer nucleotide = Efetch("nuccore", id, nucleotideFailure);
    if (nucleotide.kind == AnswerKind::Sequence) {
      status = SEQFETCH_NOT_PROTEIN;
      return nullptr;
    }
    if (nucleotide.kind != AnswerKind::UnknownId) failure = nucleotideFailure;
  }
  if (answer.kind != AnswerKind::Sequence) {
    status = failure;
    return nullptr;
  }
  char* text = static_cast<char*>(std::malloc(answer.residues.size() + 1));
  if (text == nullptr) {
    status = SEQFETCH_NO_MEMORY;
    return nullptr;
  }
  std::memcpy(text, answer.residues.c_str(), answer.residues.size() + 1);
  return text;
}

}  // namespace

extern "C" char* NCBI_RetrieveBioSeq(const char* identifier, int database, int* status, void*, void*) {
  int local = 0;
  int& out = status != nullptr ? *status : local;
  try {
    return Retrieve(identifier, database, out);
  } catch (const std::bad_alloc&) {
    out = SEQFETCH_NO_MEMORY;
  } catch (...) {
    out = SEQFETCH_BAD_ANSWER;
  }
  return nullptr;
}

extern "C" void NCBI_DeleteBioSeq(char** sequence) {
  if (sequence == nullptr) return;
  std::free(*sequence);
  *sequence = nullptr;
}
