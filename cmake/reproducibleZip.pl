#!/usr/bin/perl
# Packs a folder into a zip whose bytes depend only on the files' names and
# contents: entries in name order under one top folder, every entry with the
# same time, permissions reduced to executable or not, no owner and no extra fields
# (data handed over as bytes, not as a file name, adds none).
#   reproducibleZip.pl OUT.zip FOLDER TOP EPOCH
use strict;
use warnings;
use File::Find;
use IO::Compress::Zip qw(:zip_method $ZipError);
use POSIX qw(tzset);

my ($out, $folder, $top, $epoch) = @ARGV;
die "usage: $0 OUT.zip FOLDER TOP EPOCH\n" unless defined $epoch && $epoch =~ /^\d+$/;
# A zip entry's time is a local time: UTC makes it the same for every builder.
$ENV{TZ} = 'UTC';
tzset();

my @files;
find({ no_chdir => 1, wanted => sub { push @files, $File::Find::name if -f $_ } }, $folder);
die "$0: no files in $folder\n" unless @files;
my %name = map { my $n = substr($_, length($folder) + 1); ($_ => "$top/$n") } @files;
@files = sort { $name{$a} cmp $name{$b} } @files;

my $zip;
for my $file (@files) {
    open(my $in, '<:raw', $file) or die "$0: $file: $!\n";
    my $data = do { local $/; <$in> };
    close $in;
    my %entry = (Name => $name{$file}, Time => $epoch, Zip64 => 0,
                 Method => ZIP_CM_DEFLATE, ExtAttr => ((-x $file ? 0100755 : 0100644) << 16));
    if ($zip) {
        $zip->newStream(%entry) or die "$0: $ZipError\n";
    } else {
        $zip = IO::Compress::Zip->new($out, %entry) or die "$0: $ZipError\n";
    }
    $zip->print($data);
}
$zip->close or die "$0: $ZipError\n";
