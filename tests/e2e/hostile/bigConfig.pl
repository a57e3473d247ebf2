#!/usr/bin/perl
# bigConfig.pl BYTES [broken]: a configuration of at least BYTES bytes (UTF-8 with its
# mark): a menu of two items, 首项 and 末项, and between them a comment holding a long
# list of disabled items, as a user might keep them. With "broken", 末项's text is an
# unknown entity on the third line from the end.
use strict;
use warnings;
use utf8;
binmode STDOUT, ':utf8';

my ($bytes, $broken) = @ARGV;
die "usage: bigConfig.pl BYTES [broken]\n" unless defined $bytes && $bytes =~ /^\d+$/;
my $tail = ($broken ? "  <末项>&bogus;</末项>\n" : "  <末项>C:\\kd\\last.bat</末项>\n") . "</菜单>\n</KeyDeputy>\n";
# Bytes of a text once written as UTF-8.
sub utf8_size { my ($text) = @_; utf8::encode($text); return length $text; }

my $head = "\x{FEFF}<KeyDeputy>\n<菜单>\n  <首项>C:\\kd\\first.bat</首项>\n<!-- 停用的菜单项\n";
$tail = "-->\n" . $tail;
print $head;
my $size = utf8_size($head);
my $tailSize = utf8_size($tail);
my $i = 0;
while ($size + $tailSize < $bytes) {
    my $line = sprintf("  <旧项%07d 快捷键=\"Ctrl+Alt+A\">C:\\Program Files\\旧工具\\tool%07d.exe</旧项%07d>\n",
                       $i, $i, $i);
    print $line;
    $size += utf8_size($line);
    ++$i;
}
print $tail;
