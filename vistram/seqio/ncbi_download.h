// Downloading one protein sequence from an NCBI database through libseqfetch
// (the "Download from NCBI" dialog and the query of the BLAST-2 builder).
#pragma once
#include <array>
#include <string_view>

#include "vistram/seqio/sequence_text.h"

// The databases offered for download, numbered from 1 in this order when
// passed to libseqfetch. The BLAST-2 query page offers the same list.
inline constexpr std::array<std::string_view, 10> SZLISTNCBIDB = {
    "DDBJ", "EMBL", "GenBank_GI", "GenPept", "PDB", "PIR", "PRF", "SwissProt", "RefSeq", "BBS",
};

// At most this many characters of the identifier typed are sent.
inline constexpr std::size_t kNcbiIdentifierMax = 28;

// Status of RetrieveNcbiSequence when libseqfetch gave a text that is no
// sequence text: more than 2500 residues, or characters other than 'A'-'Z'
// and '*'. (Statuses 1 to 6 are libseqfetch's own.)
inline constexpr int kNcbiStatusNotASequenceText = 100;

// Fetches the entry `identifier` (its first 28 characters) of database
// `databaseNumber` (1-based position in SZLISTNCBIDB). Returns a copy of the
// residues in a block of MyAlloc (length plus one; the library's text is
// released at once), or null with `status` set: libseqfetch's status, or
// kNcbiStatusNotASequenceText. Blocks until libseqfetch returns.
SequenceText RetrieveNcbiSequence(std::string_view identifier, int databaseNumber, int& status);

// The message id for a download status (IDS_NCBI_... of messages.h): 1, 3 and 4
// have one; any other status 0.
int NcbiStatusMessage(int status);
