# Prints, as FASTA named "format:id", the rows Biopython reads in an aligned FASTA file and a Clustal file.
import sys
from Bio import AlignIO
for fmt, path in (('fasta', sys.argv[1]), ('clustal', sys.argv[2])):
    for rec in AlignIO.read(path, fmt):
        print('>' + fmt + ':' + rec.id + '\n' + str(rec.seq))
