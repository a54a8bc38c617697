#!/usr/bin/env bash
# fuzz/run-all.sh over stand-in targets: they run side by side, each gets its
# seconds, and a finding fails the run with the target's output shown.
set -uo pipefail
RUNNER="$(cd "$(dirname "$0")/../.." && pwd)/fuzz/run-all.sh"
dir="$(mktemp -d)"; trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A stand-in for a libFuzzer target: records its arguments, then waits for its
# partner to have started, which happens only when the two run at once; it
# gives up once 120 s have passed on the clock (the two start together, but a
# busy machine may keep the second waiting).
stand_in() {  # name partner exit-code
  cat > "$dir/fuzz_$1" <<SCRIPT
#!/bin/sh
echo "\$*" > "$dir/$1.args"
touch "$dir/$1.started"
end=\$((\$(date +%s) + 120))
while [ ! -e "$dir/$2.started" ] && [ \$(date +%s) -le \$end ]; do sleep 0.1; done
[ -e "$dir/$2.started" ] || { echo "ran alone: no partner within 120 s"; exit 3; }
[ $3 -eq 0 ] || { echo "==ERROR: AddressSanitizer: stand-in finding in $1"; exit $3; }
echo "stat::number_of_executed_units: 7"
SCRIPT
  chmod +x "$dir/fuzz_$1"
}

stand_in a b 0; stand_in b a 0
out="$("$RUNNER" "$dir" 5 2 2>&1)" || fail "two clean targets failed: $out"
grep -q "2 fuzz targets ran without a finding" <<<"$out" || fail "no summary: $out"
grep -q -- "-max_total_time=5 " "$dir/a.args" && grep -q -- "-max_total_time=5 " "$dir/b.args" || fail "seconds not passed"

rm -f "$dir"/*.started; stand_in b a 77
out="$("$RUNNER" "$dir" 5 2 2>&1)" && fail "a finding did not fail the run: $out"
grep -q "fuzz_b: finding (exit 77)" <<<"$out" || fail "the failing target is not named: $out"
grep -q "stand-in finding in b" <<<"$out" || fail "the finding's output is not shown: $out"
echo "ok"
