#!/usr/bin/env bash
# Rows: a test file's text and whether the source checks, run as setup.sh runs
# them, must name it. Mended: the check ran perl in xargs batches and failed
# only on the exit status, which a hit in one batch and none in the next turned
# into 123 (passed); it missed an assertion whose message was streamed before
# the comma and one with a ')' inside a string, and flagged a comment that
# quoted the fault; the rows ran the perl script, not setup's command, so that
# command could go back to batches unseen (the row of many files).
set -u
CHECK="$(dirname "$0")/source-checks.sh"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
fail=0
row() {  # row EXPECTED TEXT [FILES]: EXPECTED is "hit" or "clean"
  local dir="$WORK/row$((++rows))" status=0
  mkdir -p "$dir/tests/many"
  printf '%s\n' "$2" > "$dir/tests/many/zz_last.cpp"
  # Other files before and after it, in a folder of many; long names make
  # many files more than one command line holds.
  local name="file_$(printf '%0200d' 0)"
  for n in $(seq "${3:-300}"); do echo "TEST(A, B) { EXPECT_TRUE(true); }" > "$dir/tests/many/${name}_$n.cpp"; done
  "$CHECK" "$dir" > "$dir/said" || status=$?
  case "$1/$status" in
    hit/1) grep -q 'zz_last.cpp:1: ' "$dir/said" || { echo "named another place: $(cat "$dir/said") for: $2"; fail=1; } ;;
    clean/0) ;;
    *) echo "expected $1, exit $status: $2"; cat "$dir/said"; fail=1 ;;
  esac
}
rows=0
row hit 'EXPECT_TRUE(a), f();'
row hit 'ASSERT_EQ(a, b), f();'
row hit 'EXPECT_FALSE(x) << "m", f();'
row hit 'EXPECT_EQ(g("("), 1), f();'
row hit 'EXPECT_EQ(g('"')'"'), 1) << h("a)b"), f();'
row clean 'EXPECT_EQ(g(","), 1);'
row clean 'EXPECT_TRUE(a) << "x, y" << f(1, 2);'
row clean '// `EXPECT_X(a), f();` runs f only when the assertion fails'
row clean '/* ASSERT_TRUE(a), b; */ int x = 0;'
row clean 'const int a = f(1, 2), b = 3; EXPECT_EQ(a, b);'
row hit 'EXPECT_TRUE(a), f();' 3000  # over 600 KB of names: several batches where a command line is cut
[ "$fail" -eq 0 ] && echo "no-comma-after-assertion: $rows rows as expected"
exit $fail
