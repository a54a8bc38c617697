#!/usr/bin/env perl
# Checks that every relative link and picture in the Markdown files given
# resolves: the file or folder it names exists beside the page, and a
# "#anchor" (alone, or after a page's name) names a heading of that page.
# Links with a scheme (https:, mailto:) are not followed. Code is left out.
# Prints "FILE:LINE: ..." for each broken one; exit status 1 when any.
use strict;
use warnings;

die "usage: $0 FILE.md...\n" unless @ARGV;

# The anchor a heading gets: lower case, punctuation dropped, blanks as "-";
# a repeated heading gets "-1", "-2"...
my %anchors_of;
sub anchors {
  my ($page) = @_;
  return $anchors_of{$page} if $anchors_of{$page};
  my (%set, %seen, $fence);
  if (open(my $in, '<', $page)) {
    while (my $l = <$in>) {
      $fence = !$fence if $l =~ /^\s*(```|~~~)/;
      next if $fence || $l !~ /^#{1,6}\s+(.*?)\s*#*\s*$/;
      my $slug = lc $1;
      $slug =~ s/\[([^\]]*)\]\([^)]*\)/$1/g;
      $slug =~ s/[^\w\- ]//g;
      $slug =~ s/ /-/g;
      my $n = $seen{$slug}++;
      $set{$n ? "$slug-$n" : $slug} = 1;
    }
    close $in;
  }
  return $anchors_of{$page} = \%set;
}

my $broken = 0;
for my $page (@ARGV) {
  open(my $in, '<', $page) or do { print "$page:0: cannot be read: $!\n"; $broken = 1; next };
  (my $dir = $page) =~ s{[^/]*$}{};
  $dir = './' if $dir eq '';
  my $fence = 0;
  while (my $l = <$in>) {
    if ($l =~ /^\s*(```|~~~)/) { $fence = !$fence; next }
    next if $fence;
    $l =~ s/`[^`]*`//g;
    my @targets;
    push @targets, [$1 ? 'picture' : 'link', $2] while $l =~ /(!?)\[[^\]]*\]\(\s*<?([^)\s>]*)>?(?:\s+"[^"]*")?\s*\)/g;
    push @targets, ['picture', $1] while $l =~ /<img\b[^>]*\bsrc\s*=\s*"([^"]*)"/g;
    my $line = $.;  # reading another page for its headings moves $.
    for my $t (@targets) {
      my ($kind, $target) = @$t;
      next if $target =~ /^[a-z][a-z0-9+.-]*:/i;
      if ($target eq '') { print "$page:$line: empty $kind target\n"; $broken = 1; next }
      my ($path, $anchor) = $target =~ /^([^#]*)(?:#(.*))?$/;
      my $file = $path eq '' ? $page : "$dir$path";
      $file =~ s/%20/ /g;
      if (!-e $file) { print "$page:$line: broken $kind: $target (no $file)\n"; $broken = 1; next }
      if ($kind eq 'picture' && !-f $file) { print "$page:$line: picture is not a file: $target\n"; $broken = 1; next }
      if (defined $anchor && $file =~ /\.md$/ && !anchors($file)->{$anchor}) {
        print "$page:$line: broken anchor: $target (no such heading in $file)\n"; $broken = 1;
      }
    }
  }
  close $in;
}
exit $broken;
