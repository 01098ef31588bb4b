/* libseqfetch: one protein sequence from an NCBI database, by identifier.
 *
 * The entry is fetched from NCBI E-utilities (efetch, FASTA) over HTTPS.
 * The base address is https://eutils.ncbi.nlm.nih.gov/entrez/eutils/ unless
 * the environment variable VISTRAM_EUTILS_BASE names another one (a local
 * server in tests). VISTRAM_EUTILS_TIMEOUT may set the total time allowed for
 * one request, in seconds (1 to 300; default 60); connecting takes at most
 * 15 seconds of it. */
#ifndef VISTRAM_SEQFETCH_H
#define VISTRAM_SEQFETCH_H

#if defined(SEQFETCH_BUILDING)
#define SEQFETCH_API __attribute__((visibility("default")))
#else
#define SEQFETCH_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status values set by NCBI_RetrieveBioSeq when it returns null. */
enum {
  SEQFETCH_NO_CONNECTION = 1,   /* NCBI cannot be reached: no connection, time-out, server failure (5xx, 429) */
  SEQFETCH_BAD_ANSWER = 2,      /* the answer is no FASTA entry, is too large or holds invalid characters */
  SEQFETCH_NOT_PROTEIN = 3,     /* the entry holds no protein sequence (a nucleotide entry) */
  SEQFETCH_BAD_IDENTIFIER = 4,  /* the identifier is refused: empty, not printable ASCII, longer than 64
                                   bytes, or unknown to NCBI */
  SEQFETCH_BAD_DATABASE = 5,    /* the database number is not 1 to 10 */
  SEQFETCH_NO_MEMORY = 6        /* memory is exhausted */
};

/* The databases by number (the list offered to the user, numbered from 1):
 * 1 DDBJ, 2 EMBL, 3 GenBank_GI, 4 GenPept, 5 PDB, 6 PIR, 7 PRF, 8 SwissProt,
 * 9 RefSeq, 10 BBS. All are looked up in the E-utilities "protein" database;
 * an identifier of DDBJ, EMBL or GenBank unknown there is looked up in
 * "nuccore", and an entry found there gives SEQFETCH_NOT_PROTEIN.
 *
 * Returns the residues of the entry's first sequence as a NUL-terminated
 * text of upper-case one-letter codes (and '*'), to be released with
 * NCBI_DeleteBioSeq; or null, with *status set (status may be null). The
 * fourth and fifth arguments are reserved and must be null. Blocks until the
 * answer or the time-out. */
SEQFETCH_API char* NCBI_RetrieveBioSeq(const char* identifier, int database, int* status, void* reserved1,
                                       void* reserved2);

/* Releases a text of NCBI_RetrieveBioSeq and sets *sequence to null; null is ignored. */
SEQFETCH_API void NCBI_DeleteBioSeq(char** sequence);

#ifdef __cplusplus
}
#endif

#endif
