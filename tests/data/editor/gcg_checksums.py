# Prints Biopython's GCG checksum of each sequence given as an argument.
import sys
from Bio.SeqUtils.CheckSum import gcg
for s in sys.argv[1:]:
    print(gcg(s))
