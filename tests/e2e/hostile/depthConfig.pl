#!/usr/bin/perl
# depthConfig.pl LEVELS: a configuration nested LEVELS elements deep, the root KeyDeputy
# being level 1 and 菜单 level 2; levels 3 to LEVELS-1 are submenus 层3, 层4, ... and level
# LEVELS is the one command item, C:\kd\deep.bat. One start tag per line: the start tag of
# level L is on line L.
use strict;
use warnings;
use utf8;
binmode STDOUT, ':utf8';

my ($levels) = @ARGV;
die "usage: depthConfig.pl LEVELS (at least 3)\n" unless defined $levels && $levels =~ /^\d+$/ && $levels >= 3;
print "<KeyDeputy>\n<菜单>\n";
print "<层$_>\n" for 3 .. $levels - 1;
print "<层$levels>C:\\kd\\deep.bat</层$levels>\n";
print "</层$_>\n" for reverse 3 .. $levels - 1;
print "</菜单>\n</KeyDeputy>\n";
