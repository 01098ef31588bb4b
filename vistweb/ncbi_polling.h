// The NCBI BLAST server answers a search with a page that carries its request
// identifier (RID); the helper then asks for the result until it is final.
// Two forms of that server are followed: the old form pages (a "please wait"
// page with NAME="RID" and an HTTP-EQUIV refresh) and today's URL API (a
// QBlastInfo block with RID and RTOE, then SearchInfo status requests and the
// report fetched as text).
#pragma once
#include <string>
#include <string_view>

#include "vistweb/progress.h"
#include "vistweb/request.h"
#include "vistweb/settings.h"

// The RID of a stored old-form answer: on the first line (of pieces of at
// most 254 characters) holding NAME="RID" and "VALUE=" with a closing quote,
// the text from seven characters after "VALUE=" up to that quote (49
// characters at most). Empty when there is none or the file cannot be read.
std::string ExtractRid(const std::string& responsePath);
// True when a piece of the stored answer holds "HTTP-EQUIV": a "please wait"
// page. A file that cannot be read, or an empty one, counts as final.
bool StillWaiting(const std::string& responsePath);
// "RID=%s&DESCRIPTIONS=%i&ALIGNMENTS=%i&ALIGNMENT_VIEW=0&&HTML=on&OVERVIEW=on&REFRESH_DELAY=4"
std::string PollQuery(const std::string& rid, int descriptions, int alignments);

// The QBlastInfo block of a URL API answer: "RID = ..." and "Status=..."
// (blanks around '=' allowed). Empty fields when absent.
struct QBlastInfo {
  bool present = false;
  std::string rid;
  std::string status;
};
QBlastInfo ReadQBlastInfo(std::string_view page);

// The body of a URL API "Put" with the tool name and the e-mail address NCBI
// asks automated clients for (fields already in the body are left alone).
std::string WithToolAndEmail(std::string_view body, const std::string& email);

// The whole NCBI sequence: the search request, then polling until the answer
// is final or the run's time is over.
void RunNcbiSequence(Progress& progress, const Endpoint& endpoint, const std::string& methodLine,
                     std::string_view body, const std::string& responsePath, const HelperSettings& settings,
                     const RunClock& clock);
