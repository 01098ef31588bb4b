// The ClustalW request builder's model: the request record, the ClustalW
// configuration file, the defaults of the "Parameters" page, the post file
// and the hand-over to the web helper. The ClustalW path shows no message of
// its own: a missing list, server, request path or sequence makes the sheet
// not open or OK send nothing (the hand-over's own failures are shown).
#pragma once
#include <string>
#include <string_view>

#include "vistram/platform/platform.h"

inline constexpr const char* kClustalSection = "CLUSTAL_PARAM";

struct CLUSTAL_DATA {
  std::string clustalConfigPath;  // [260]
  std::string configPath;         // [260] vistram.cfg
  std::string outputOrder;        // [20]
  std::string guideTree;          // [20]
  std::string matrix;             // [20]
  std::string gapOpen;            // [20]
  std::string gapExtension;       // [20]
  std::string sequences;          // the text of the sequences field; empty: none
};

void ResetClustalValues(CLUSTAL_DATA& data);

// The three lists of the "Parameters" page, with their keys.
struct ClustalList {
  const char* list;
  const char* def;
  std::string CLUSTAL_DATA::*value;
};
inline constexpr ClustalList kClustalLists[] = {
    {"OUTO_LIST", "OUTO_DEF", &CLUSTAL_DATA::outputOrder},
    {"QT_LIST", "QT_DEF", &CLUSTAL_DATA::guideTree},
    {"MATRIX_LIST", "MATRIX_DEF", &CLUSTAL_DATA::matrix},
};

// Loads the defaults: for each list that is present, the item of its
// default index (false, without a message, when there is none); then the
// two penalties GOPEN_VAL and GEXT_VAL when present.
bool GlobalInitCluPage2(WindowHandle owner, CLUSTAL_DATA& data);

// The post file's content for the form-encoded sequences `encoded`: the
// header segment "POST <path> HTTP/1.0|User-Agent: Netscape/4.0|Content-type:
// application/x-www-form-urlencoded|Content-length:<n>||" ('|' where a
// header line would end) and the body
// OUTO_FIELD=order&QT_FIELD=tree&MATRIX_FIELD=matrix&GOPEN_FIELD=open&GEXT_FIELD=ext&SEQ_FIELD=sequences,
// every field present (values unencoded, empty when empty).
std::string BuildClustalPost(const CLUSTAL_DATA& data, std::string_view requestPath, std::string_view encoded);

// Checks the record and writes the post file; false (silently) on any
// failure, the outputs then empty.
bool CreateClustalRequest(WindowHandle owner, CLUSTAL_DATA& data, std::string& server, std::string& requestPath,
                          std::string& postFile, std::string& cacheDir);
bool WriteCluReqFile(WindowHandle owner, const CLUSTAL_DATA& data, const std::string& cacheDir,
                     const std::string& requestPath, std::string_view encoded, std::string& postFile);

// The OK action: CreateClustalRequest, then the hand-over (extension "msf",
// action "ACT_OPENMSF", method "POST"); the record is reset in every case.
// 1 when the request was handed over.
int Apply_Clu_Method(WindowHandle owner, CLUSTAL_DATA& data);

// SERVER_CLU (empty when missing).
std::string ClustalServer(const CLUSTAL_DATA& data);
