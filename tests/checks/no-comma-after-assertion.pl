#!/usr/bin/env perl
# Lists every test assertion followed by a comma expression (`EXPECT_X(a), f();`
# or `EXPECT_X(a) << "m", f();`), whose right side runs only when the assertion
# fails, in the C++ files under the folders given; exit status 1 when any.
# Strings and character literals are read whole (a parenthesis or a comma in
# one counts for nothing) and comments are left out (one may quote the fault).
use strict;
use warnings;
use File::Find;

my $literal = qr/"(?:[^"\\\n]|\\.)*+"|'(?:[^'\\\n]|\\.)*+'/;
my $found = 0;
my @files;
find(sub { push @files, $File::Find::name if -f && /\.(?:cpp|h)$/ }, @ARGV);
for my $file (sort @files) {
  open(my $in, '<', $file) or die "$file: $!\n";
  my $text = do { local $/; <$in> };
  close $in;
  # Comments become blanks, their line ends kept, so lines still count right.
  $text =~ s{($literal)|//[^\n]*|/\*.*?\*/}{defined $1 ? $1 : $& =~ tr/\n//cdr}gse;
  while ($text =~ /\b((?:EXPECT|ASSERT)_\w+)\s*(?<args>\((?:$literal|[^()"']++|(?&args))*+\))
                   (?:$literal|(?&args)|[^;,(){}"'])*?,/gx) {
    printf "%s:%d: %s followed by a comma\n", $file, 1 + (substr($text, 0, $-[0]) =~ tr/\n//), $1;
    $found = 1;
  }
}
exit $found;
