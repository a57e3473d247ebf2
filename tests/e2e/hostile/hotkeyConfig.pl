#!/usr/bin/perl
# hotkeyConfig.pl DIR COUNT: a menu of COUNT items, each with a hotkey drawn (fixed seed)
# from 144 combinations, so most of them repeat one taken earlier, spelled another way;
# every 50th item has a hotkey text that names no usable combination. Writes
#   DIR/config.xml   the configuration (UTF-8, no mark: the caller converts it)
#   DIR/refused.txt  the warning's lines expected, in document order, escaped as kddriver prints
#   DIR/menu.txt     the tray menu as `kddriver menu` prints it
#   DIR/held.txt     "combination<TAB>index" of the item that holds each combination
#   DIR/repeat.txt   "combination<TAB>first index<TAB>a later index" for one repeated combination
use strict;
use warnings;
use utf8;
binmode STDOUT, ':utf8';

my ($dir, $count) = @ARGV;
die "usage: hotkeyConfig.pl DIR COUNT\n" unless defined $count && $count =~ /^\d+$/;

my @mods = (['Ctrl', 'Alt'], ['Ctrl', 'Shift'], ['Alt', 'Shift'], ['Ctrl', 'Alt', 'Shift']);
my @keys = ('A' .. 'Z', '0' .. '9');
# Refused whatever else is registered: no modifier, a blank before the key, no key,
# the plus key, and a 32-character text.
my @unusable = ('+F5', 'Ctrl + F5', 'Ctrl+Alt', 'Ctrl++', 'Control+Alternate+Shift+Window+A');
my %reason = (
    '+F5' => '没有 Ctrl、Alt、Shift 或 Win',
    'Ctrl + F5' => '“ F5”不是按键名，是不是要写“F5”？',
    'Ctrl+Alt' => '“Alt”不是按键名',
    'Ctrl++' => '最后一个“+”之后是空的',
    'Control+Alternate+Shift+Window+A' => '超过 31 个字符',
);

srand(20240611);
my (%holder, @lines, @refused, @menu, @held, @repeat);
for my $i (0 .. $count - 1) {
    my $label = sprintf('键%04d', $i);
    my ($text, $why);
    if ($i % 50 == 49) {
        $text = $unusable[($i / 50) % @unusable];
        $why = $reason{$text};
    } else {
        my $m = int(rand(@mods));
        my $k = int(rand(@keys));
        my $combo = lc(join('+', @{$mods[$m]}, $keys[$k]));
        if (!exists $holder{$combo}) {
            $holder{$combo} = $i;
            $text = join('+', @{$mods[$m]}, $keys[$k]);
            push @held, "$combo\t$i";
        } else {
            # The same combination in other letter case and order.
            my @words = reverse @{$mods[$m]};
            $text = ($i % 2) ? uc(join('+', @words, $keys[$k])) : lc(join('+', @words, $keys[$k]));
            $why = sprintf('与“键%04d”的热键相同', $holder{$combo});
            @repeat = ("$combo\t$holder{$combo}\t$i") if !@repeat && $keys[$k] =~ /[A-Z]/;
        }
    }
    push @refused, "$label\\t$text\\t热键注册失败！（$why）" if defined $why;
    push @lines, sprintf('  <%s 快捷键="%s">C:\\kd\\k%04d.bat</%s>', $label, $text, $i, $label);
    my $mark = defined $why ? '（未注册）' : '';
    push @menu, join("\t", $i, 'string', 1024 + $i, $i == 0 ? 'default' : '-', "$label\\t$text$mark");
}

sub write_lines {
    my ($name, @content) = @_;
    open(my $out, '>:utf8', "$dir/$name") or die "$dir/$name: $!\n";
    print $out map { "$_\n" } @content;
    close $out;
}
write_lines('config.xml', '<KeyDeputy>', '<菜单>', @lines, '</菜单>', '</KeyDeputy>');
write_lines('refused.txt', @refused);
write_lines('menu.txt', @menu);
write_lines('held.txt', @held);
write_lines('repeat.txt', @repeat);
