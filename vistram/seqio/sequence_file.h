// Reading one protein sequence from a sequence file whose format is
// recognised by content: FASTA, GCG, NBRF-PIR, GenPept, SwissProt or raw.
#pragma once
#include <string>

#include "vistram/seqio/sequence_text.h"

// Reads the first sequence of the file at `path`. Returns its text (a block
// of exactly its length plus one, upper-case letters and '*'; free with
// MyFree, which SequenceText does) and writes the sequence name into `name`
// (at most 255 characters). Returns null, with `name` emptied, when the file
// cannot be opened, no format yields a valid sequence, or the sequence holds
// fewer than 10 or more than 2500 residues. Shows no message of its own.
//
// The formats are tried in this order, each from the start of the file; the
// first whose marker is found and whose reader gives a text wins:
// FASTA (a line beginning with '>'), GCG ("LENGTH:" ... "TYPE:" ... "CHECK:"),
// NBRF-PIR ("PIR" or "ENTRY" in the first 7 characters of a line), GenPept
// ("ENTREZ" or "LOCUS" there), SwissProt ("SWISS-PROT" in the first 10
// characters, or an identification line ending in "AA."), and last raw.
SequenceText LireSequence(const std::string& path, std::string& name);
