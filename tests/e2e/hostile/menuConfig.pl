#!/usr/bin/perl
# menuConfig.pl DIR COUNT: a tray menu of COUNT items, item i labelled 项NNNNN and running
# C:\kd\mNNNNN.bat. Writes DIR/config.xml (UTF-8, no mark: the caller converts it) and
# DIR/menu.txt, the menu as `kddriver menu` prints it.
use strict;
use warnings;
use utf8;

my ($dir, $count) = @ARGV;
die "usage: menuConfig.pl DIR COUNT\n" unless defined $count && $count =~ /^\d+$/;
open(my $xml, '>:utf8', "$dir/config.xml") or die "$dir/config.xml: $!\n";
open(my $menu, '>:utf8', "$dir/menu.txt") or die "$dir/menu.txt: $!\n";
print $xml "<KeyDeputy>\n<菜单>\n";
for my $i (0 .. $count - 1) {
    my $label = sprintf('项%05d', $i);
    printf $xml "  <%s>C:\\kd\\m%05d.bat</%s>\n", $label, $i, $label;
    print $menu join("\t", $i, 'string', 1024 + $i, $i == 0 ? 'default' : '-', $label), "\n";
}
print $xml "</菜单>\n</KeyDeputy>\n";
close $xml;
close $menu;
