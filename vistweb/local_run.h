// Requests served on this machine: "local://clustalw" aligns the posted
// sequences with clustalw and answers with its MSF file; "local://blastp"
// (and the other BLAST+ programs) searches the posted sequence in a local
// database and answers with the text report. Programs get an argument vector;
// the form values reach them only as the values of known options, after a
// check of their form.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "vistweb/form_body.h"
#include "vistweb/progress.h"
#include "vistweb/settings.h"

// True for the program names a "local://" request may name.
bool IsLocalProgram(const std::string& name);

// The clustalw arguments for the form's fields (output order, guide tree,
// matrix, gap penalties), reading `input` and writing MSF to `output`.
std::vector<std::string> ClustalwArguments(const FormFields& fields, const std::string& input,
                                           const std::string& output);
// The arguments of a BLAST+ program for the form's fields (database, expect,
// matrix, filter, descriptions, alignments, genetic code). Empty when the
// database name is missing or not a plain name.
std::vector<std::string> BlastArguments(const std::string& program, const FormFields& fields,
                                        const std::string& query, const std::string& output);

// The sequences of the form as FASTA text: the ClustalW sequence field, or the
// BLAST query (given a title line when it has none). Carriage returns dropped.
std::string FormSequences(const FormFields& fields);

// Runs the local program named by the request ("clustalw", a BLAST+ program,
// or "blast" for the BLAST+ program of the form's PROGRAM field) and writes
// its answer to `responsePath`; when it fails, a note starting "VistWeb:"
// says why.
void RunLocalRequest(Progress& progress, const std::string& server, std::string_view body,
                     const std::string& responsePath, const HelperSettings& settings, const RunClock& clock);
