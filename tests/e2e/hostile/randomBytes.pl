#!/usr/bin/perl
# randomBytes.pl SEED LENGTH KIND: LENGTH bytes on standard output, the same for the same
# SEED on every machine (Perl's own generator since 5.20). KIND:
#   bytes   any byte value
#   markup  pieces of XML syntax, names, entities and UTF-8 Chinese in random order
#   utf16   the UTF-16 mark FF FE, then random 16-bit units
#   opened  a start that opens the root and the menu, then any byte value
use strict;
use warnings;

my ($seed, $length, $kind) = @ARGV;
die "usage: randomBytes.pl SEED LENGTH bytes|markup|utf16|opened\n"
    unless defined $kind && $length =~ /^\d+$/ && $kind =~ /^(bytes|markup|utf16|opened)$/;
srand($seed);
binmode STDOUT;

my $out = '';
if ($kind eq 'markup') {
    my @pieces = ('<', '>', '</', '/>', '<?', '?>', '=', '"', "'", '&', '&amp;', '&#65;', '&#x4E2D;', '&bogus;',
                  ';', '#', '<!--', '-->', '<![CDATA[', ']]>', '<!DOCTYPE', '<PRE>', '</PRE>', ' ', "\n", "\t",
                  'KeyDeputy', '菜单', '分割条', '快捷键', 'Ctrl+Alt+A', 'a', 'b', 'x1',
                  "\xe4\xb8\xad", "\xe6\x96\x87");
    $out .= $pieces[int(rand(@pieces))] while length($out) < $length;
} else {
    if ($kind eq 'utf16') { $out = "\xff\xfe" }
    elsif ($kind eq 'opened') { $out = "<KeyDeputy>\n<\xe8\x8f\x9c\xe5\x8d\x95>\n" }
    $out .= chr(int(rand(256))) while length($out) < $length;
}
print substr($out, 0, $length);
