// The six sequence-file readers. Each reads the first sequence of an open
// file from its start (line pieces of at most 99 characters, see
// line_pieces.h) and returns its text (a block of 2501 bytes, NUL-terminated,
// see sequence_text.h), or null when the file holds no valid sequence in its
// format: a residue line with an invalid character, more than 2500 residues,
// no start of sequence, or an allocation failure. `name` receives the
// sequence name (at most 255 characters); when the file offers none, the
// file's base name without directory and extension (`path` names the file).
// The minimum of 10 residues is checked by LireSequence, not here.
#pragma once
#include <string>

#include "vistram/base/line_reader.h"
#include "vistram/seqio/sequence_text.h"

// FASTA: the first line beginning with '>' holds the name (its first word);
// residues follow up to the next line holding '>' or the end of the file.
// An NBRF entry written as ">P1;NAME", a title line and residues ending in
// '*' is read here too: the name is the code after ';', the title line is
// skipped, and the residues end at the '*' (which is not stored).
SequenceText LitSequFASTAFile(LineReader& file, std::string& name, const std::string& path);
// GCG: residues after the line holding "LENGTH:", "TYPE:", "CHECK:" (in that
// order, any case) up to the end of the file; the name from a first line
// "ID name w w number w".
SequenceText LitSequGCGFile(LineReader& file, std::string& name, const std::string& path);
// NBRF-PIR (the ENTRY/TITLE/SEQUENCE layout): the name after "TITLE"; the
// residues start two lines after "SEQUENCE" (a ruler in between) and end
// before the first line shorter than 5 characters.
SequenceText LitSequNBRFFile(LineReader& file, std::string& name, const std::string& path);
// GenPept: the name after "DEFINITION"; residues after "ORIGIN" up to the
// first line shorter than 5 characters.
SequenceText LitSequGenPeptFile(LineReader& file, std::string& name, const std::string& path);
// SwissProt: the name after "ID" on the first line; residues after the first
// line beginning with "SQ" (whose declared length after "SEQUENCE" must not
// exceed 2500) up to the first line beginning with "/".
SequenceText LitSequSwissProtFile(LineReader& file, std::string& name, const std::string& path);
// Raw: every line from the first is residues; the name is the file's. The
// text is returned in a block of exactly its length plus one.
SequenceText LitSequNoCommentFile(LineReader& file, std::string& name, const std::string& path);
