# Prints, as FASTA, the rows BioPerl reads in an MSF file.
use Bio::AlignIO;
my $in = Bio::AlignIO->new(-file => $ARGV[0], -format => "msf");
while (my $aln = $in->next_aln) { for my $s ($aln->each_seq) { print ">", $s->id, "\n", $s->seq, "\n" } }
