#!/usr/bin/perl
# longTextConfig.pl DIR: a configuration whose caption, balloon, messages, labels and
# commands are 100,000 characters long, and labels and commands around their limits
# (255 shown characters, 1023 command characters). Writes DIR/config.xml (UTF-8, no mark:
# the caller converts it) and, for the caller to compare, what the program should show,
# escaped as kddriver prints it:
#   caption.txt, balloon.txt, hotkey1.txt, hotkey2.txt, exit.txt, resolution.txt, menu.txt
use strict;
use warnings;
use utf8;

my ($dir) = @ARGV;
die "usage: longTextConfig.pl DIR\n" unless defined $dir;

# length characters cycling through a block of 2000 CJK ideographs from base.
sub run_of {
    my ($base, $length) = @_;
    return join('', map { chr($base + $_ % 2000) } 0 .. $length - 1);
}

my $long = 100_000;
my $name = run_of(0x4E00, $long);
my $tip = run_of(0x5600, $long);
my $title = run_of(0x5E00, $long);
my $fill = run_of(0x6600, $long - 2);
my $exit = run_of(0x6E00, $long);
my $resolution = run_of(0x7600, $long);
my $label = run_of(0x7E00, $long);
my $command = 'C:\\kd\\' . ('x' x ($long - 6));
my $label255 = run_of(0x8600, 255);
my $label256 = run_of(0x8E00, 256);
my $label250 = run_of(0x9600, 250);
# 254 characters, then one outside the BMP (two UTF-16 units), then more.
my $surrogate = run_of(0x4E00, 254) . "\x{20000}" . run_of(0x4E00, 10);
my $submenu = run_of(0x5600, $long);
# A resolution text the display refuses, padded to 1023 and 1024 characters.
my $fit = '分辨率(1280,1024)';
my $fits = $fit . ('.' x (1023 - length $fit));
my $overlong = $fit . ('.' x (1024 - length $fit));

my $xml = <<"END";
<KeyDeputy>
<设置><名称>$name</名称></设置>
<提示><显示>是</显示><内容>$tip</内容><标题>$title</标题></提示>
<语言>
  <热键注册>%s$fill</热键注册>
  <退出程序>$exit</退出程序>
  <分辨率>$resolution</分辨率>
</语言>
<菜单>
  <首项>C:\\kd\\first.bat</首项>
  <被占 快捷键="Ctrl+Alt+J">C:\\kd\\held.bat</被占>
  <$label 快捷键="Ctrl+Alt+J">C:\\kd\\label.bat</$label>
  <长命令>$command</长命令>
  <分辨率命令>$fits</分辨率命令>
  <过长命令>$overlong</过长命令>
  <$label255>C:\\kd\\l255.bat</$label255>
  <$label256>C:\\kd\\l256.bat</$label256>
  <$label250 快捷键="Ctrl+Alt+W">C:\\kd\\l250.bat</$label250>
  <$surrogate>C:\\kd\\sur.bat</$surrogate>
  <$submenu><子项>C:\\kd\\sub.bat</子项></$submenu>
  <退出>退出程序</退出>
</菜单>
</KeyDeputy>
END

my @menu = (
    "0\tstring\t1024\tdefault\t首项",
    "1\tstring\t1025\t-\t被占\\tCtrl+Alt+J（未注册）",
    # The refused entry's mark follows whatever of its text the menu kept.
    "2\tstring\t1026\t-\t" . substr($label, 0, 255) . '（未注册）',
    "3\tstring\t1027\t-\t分辨率命令",
    "4\tstring\t1028\t-\t$label255",
    "5\tstring\t1029\t-\t" . substr($label256, 0, 255),
    "6\tstring\t1030\t-\t$label250\\tCtrl",
    "7\tstring\t1031\t-\t" . run_of(0x4E00, 254),
    # kdprobe reads at most 510 characters of an entry: a submenu's name is not cut
    # to 255, so that many come back.
    "8\tpopup\t-\t-\t" . substr($submenu, 0, 510),
    "8/0\tstring\t1032\t-\t子项",
    "9\tstring\t1033\t-\t退出",
);

my %files = (
    'config.xml' => $xml,
    'caption.txt' => substr($name, 0, 63),
    'balloon.txt' => substr($tip, 0, 255),
    'hotkey1.txt' => substr("被占\\tCtrl+Alt+J$fill", 0, 256),  # the \t is two characters here
    'hotkey2.txt' => substr($label, 0, 255),
    'exit.txt' => $exit,
    'resolution.txt' => $resolution,
    'menu.txt' => join("\n", @menu),
);
for my $file (sort keys %files) {
    open(my $out, '>:utf8', "$dir/$file") or die "$dir/$file: $!\n";
    print $out $files{$file};
    close $out;
}
