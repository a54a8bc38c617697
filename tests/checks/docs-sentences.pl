#!/usr/bin/env perl
# Measures the prose sentences of Markdown files: their median length in words,
# the share over 45 words, the count over 70 and the longest ones.
#   docs-sentences.pl [--check] [--top N] FILE...
# Left out: tables, fenced and indented code, headings, HTML comments and
# pictures. A link counts as its text, an inline code span as its words. A
# sentence ends at ".", "!" or "?" before a blank, and at the end of a
# paragraph or list item, ended or not. With --check the exit status is 1 when
# the median is over 22, more than 5 % run over 45 words or one over 70.
use strict;
use warnings;

my ($check, $top) = (0, 10);
while (@ARGV && $ARGV[0] =~ /^--/) {
  my $opt = shift @ARGV;
  if ($opt eq '--check') { $check = 1 }
  elsif ($opt eq '--top') { $top = shift @ARGV }
  else { die "usage: $0 [--check] [--top N] FILE...\n" }
}
die "usage: $0 [--check] [--top N] FILE...\n" unless @ARGV;

my @sentences;  # [words, file, line, text]

sub words_of {
  my ($text) = @_;
  my @w = grep { /[[:alnum:]]/ } split /\s+/, $text;
  return scalar @w;
}

sub flush_paragraph {
  my ($file, $line, $text) = @_;
  return unless defined $text && $text =~ /\S/;
  $text =~ s/<!--.*?-->//gs;
  $text =~ s/!\[[^\]]*\]\([^)]*\)//g;           # pictures
  $text =~ s/\[([^\]]*)\]\([^)]*\)/$1/g;        # links: their text
  # A code span's words count, but its dots must not end a sentence: they are
  # stood in for while the text is split, and given back for the listing.
  $text =~ s/`([^`]*)`/my $c = $1; $c =~ tr{.!?}{\x01\x02\x03}; $c =~ m{[[:alnum:]]} ? "`$c`" : '`c`'/ge;
  $text =~ s/\s+/ /g;
  for my $s (split /(?<=[.!?])["')]*\s+/, $text) {
    my $n = words_of($s);
    (my $shown = $s) =~ tr{\x01\x02\x03}{.!?};
    push @sentences, [$n, $file, $line, $shown] if $n > 0;
  }
}

for my $file (@ARGV) {
  open(my $in, '<', $file) or die "$file: $!\n";
  my ($para, $start, $fence, $indented, $prev_blank, $comment) = (undef, 0, 0, 0, 1, 0);
  my $item_indent;  # inside a list: the column its last item's text starts at
  while (my $l = <$in>) {
    chomp $l;
    if ($comment) { $comment = 0 if $l =~ /-->/; next }
    if ($l =~ /^\s*(```|~~~)/) { flush_paragraph($file, $start, $para); $para = undef; $fence = !$fence; next }
    next if $fence;
    if ($l =~ /^\s*<!--/ && $l !~ /-->/) { $comment = 1; next }
    if ($l =~ /^\s*$/) { flush_paragraph($file, $start, $para); $para = undef; $prev_blank = 1; $indented = 0; next }
    (my $lead = $l) =~ s/^(\s*).*/$1/;
    $lead =~ s/\t/    /g;
    my $column = length $lead;
    # After a blank line, a line indented less than the list's item text ends
    # the list; one indented as far is the item's next paragraph, prose.
    $item_indent = undef if $prev_blank && !defined $para && defined $item_indent && $column < $item_indent
      && $l !~ /^\s*(?:[-*+]|\d+[.)])\s/;
    # An indented block after a blank line is code: four columns in, or four
    # past the item's text inside a list.
    my $code_column = (defined $item_indent ? $item_indent : 0) + 4;
    if (($prev_blank || $indented) && !defined $para && $column >= $code_column) { $indented = 1; next }
    $prev_blank = 0;
    next if $indented;
    if ($l =~ /^\s*\|/ || $l =~ /^\s*#/) { flush_paragraph($file, $start, $para); $para = undef; $item_indent = undef; next }
    if ($l =~ /^(\s*(?:[-*+]|\d+[.)])\s+)(.*)$/) {   # a list item starts a paragraph of its own
      flush_paragraph($file, $start, $para);
      ($para, $start) = ($2, $.);
      (my $marker = $1) =~ s/\t/    /g;
      $item_indent = length $marker;
      next;
    }
    if (defined $para) { $para .= " $l" } else { ($para, $start) = ($l, $.) }
  }
  flush_paragraph($file, $start, $para);
  close $in;
}

unless (@sentences) { print "sentences: 0\n"; exit 0 }
my @lengths = sort { $a <=> $b } map { $_->[0] } @sentences;
my $n = @lengths;
my $median = $n % 2 ? $lengths[$n / 2] : ($lengths[$n / 2 - 1] + $lengths[$n / 2]) / 2;
my $over45 = grep { $_ > 45 } @lengths;
my $over70 = grep { $_ > 70 } @lengths;
my $share = 100 * $over45 / $n;
printf "sentences: %d\nmedian words: %s\nover 45 words: %d (%.1f %%)\nover 70 words: %d\n",
  $n, $median, $over45, $share, $over70;
print "longest:\n";
for my $s ((sort { $b->[0] <=> $a->[0] } @sentences)[0 .. ($top < $n ? $top : $n) - 1]) {
  my $text = length($s->[3]) > 100 ? substr($s->[3], 0, 100) . '...' : $s->[3];
  printf "  %3d  %s:%d: %s\n", @$s[0, 1, 2], $text;
}
exit(($check && ($median > 22 || $share > 5 || $over70 > 0)) ? 1 : 0);
