#!/usr/bin/env bash
# Rows: a small docs tree (a page, with a picture and another page beside it)
# and whether the link check must find a broken link in the page; then rows
# of text the sentence measure must pass or fail. Last, both run over the
# real README.md and docs/, as a reader meets them.
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
fail=0 rows=0

link_row() {  # link_row EXPECTED PAGE-TEXT: EXPECTED is "broken" or "clean"
  local dir="$WORK/links$((++rows))" status=0
  mkdir -p "$dir/docs/images"
  printf '# Other page\n\n## Its part\n' > "$dir/docs/other.md"
  printf 'PNG' > "$dir/docs/images/shot.png"
  printf '# A page\n\n## Set up and run\n\n%s\n' "$2" > "$dir/docs/page.md"
  perl "$HERE/docs-links.pl" "$dir/docs/page.md" > "$dir/said" || status=$?
  case "$1/$status" in
    broken/1) grep -q 'page.md:5: ' "$dir/said" || { echo "named another place: $(cat "$dir/said") for: $2"; fail=1; } ;;
    clean/0) ;;
    *) echo "expected $1, exit $status: $2"; cat "$dir/said"; fail=1 ;;
  esac
}
link_row clean  'See [the other page](other.md) and ![a shot](images/shot.png).'
link_row clean  'See [its part](other.md#its-part) and [here](#set-up-and-run).'
link_row clean  'Code is not a link: `[x](missing.md)`; [web](https://example.org/missing.md).'
link_row broken 'See [a page](missing.md).'
link_row broken 'A missing picture: ![shot](images/none.png).'
link_row broken 'A picture that is a folder: ![shot](images).'
link_row broken 'A heading that is not there: [part](other.md#no-such-part).'
link_row broken 'Within the page: [part](#set-up-and-play).'
link_row broken 'An HTML picture: <img src="images/gone.png" width="300">'
link_row broken 'Good first, then bad: [a](other.md) [b](../README.md)'

sentence_row() {  # sentence_row EXPECTED TEXT: EXPECTED is "pass" or "fail"
  local file="$WORK/sentences$((++rows)).md" status=0
  printf '# Title\n\n%s\n' "$2" > "$file"
  perl "$HERE/docs-sentences.pl" --check "$file" > "$file.said" || status=$?
  case "$1/$status" in pass/0|fail/1) ;; *) echo "expected $1, exit $status: $2"; cat "$file.said"; fail=1 ;; esac
}
words() { printf 'word %.0s' $(seq "$1"); }   # words N: a sentence of N words, without its dot
shorts() { printf 'Three words here. %.0s' $(seq "$1"); }
long="$(words 71)"
sentence_row pass "A short sentence. Another one."
sentence_row fail "$long."
# Each limit alone, at it and one past it: the median (22), the share over 45
# words (5 %: 1 in 20), one sentence over 70 among many short ones.
sentence_row pass "$(words 22). $(words 22). $(words 21)."
sentence_row fail "$(words 23). $(words 23). $(words 21)."
sentence_row pass "$(shorts 19) $(words 46)."
sentence_row fail "$(shorts 18) $(words 46)."
sentence_row pass "$(shorts 30) $(words 70)."
sentence_row fail "$(shorts 30) $long."
# A list item's own next paragraph is prose, indented or not; code in a list
# is indented four past the item's text.
sentence_row fail "$(printf -- '- An item.\n\n    %s.' "$long")"
sentence_row pass "$(printf -- '- An item.\n\n      %s.' "$long")"
sentence_row pass "$(printf -- 'A paragraph.\n\n    %s.' "$long")"
sentence_row pass "| $long |"                            # a table row is no prose
sentence_row pass "$(printf '```\n%s\n```' "$long")"     # nor is code
sentence_row pass "$(printf -- '- %s\n' one two three)"  # list items are sentences of their own
# How many sentences a text holds: a dot inside a code span ends none, a
# list item or a paragraph ends one without a dot, and so does "?".
count_row() {  # count_row SENTENCES TEXT
  local file="$WORK/count$((++rows)).md" said
  printf '# Title\n\n%s\n' "$2" > "$file"
  said=$(perl "$HERE/docs-sentences.pl" "$file" | sed -n 's/^sentences: //p')
  [ "$said" = "$1" ] || { echo "expected $1 sentences, counted $said: $2"; fail=1; }
}
count_row 2 'Run `make. all` first. Then play.'
count_row 3 "$(printf 'One line\n\n- an item\n- another item')"
count_row 2 'Is it so? It is (as said).'

# The real pages.
(cd "$ROOT" && perl "$HERE/docs-links.pl" README.md docs/*.md) || { echo "README.md or docs/ has a broken link"; fail=1; }
(cd "$ROOT" && perl "$HERE/docs-sentences.pl" --check README.md docs/*.md) || { echo "README.md or docs/ has sentences too long"; fail=1; }
[ "$fail" -eq 0 ] && echo "docs checks: $rows rows as expected, and the real pages pass"
exit $fail
