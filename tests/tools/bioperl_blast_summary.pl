#!/usr/bin/perl
# Prints what BioPerl's SearchIO reads from a BLAST text report, for
# comparison with our reader: one "Q" line per query (name, hit count), one
# "H" line per hit (name), one "S" line per HSP (query start, query end,
# subject start, subject end; each pair as lowest, highest).
use strict;
use warnings;
use Bio::SearchIO;

my $path = shift or die "usage: $0 REPORT\n";
my $in = Bio::SearchIO->new(-format => 'blast', -file => $path);
while (my $result = $in->next_result) {
    printf "Q\t%s\t%d\n", $result->query_name // '', $result->num_hits;
    while (my $hit = $result->next_hit) {
        printf "H\t%s\n", $hit->name // '';
        while (my $hsp = $hit->next_hsp) {
            printf "S\t%d\t%d\t%d\t%d\n", $hsp->start('query'), $hsp->end('query'),
                $hsp->start('hit'), $hsp->end('hit');
        }
    }
}
