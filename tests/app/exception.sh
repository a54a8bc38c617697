#!/usr/bin/env bash
# "-exception" under the test display: the game faults on purpose and the crash
# guard leaves a text report with every section and a minidump in the working
# folder (a temporary one, never the repository), then ends with status 255.
set -u
QUORVEL="$1"
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
ln -s "$ROOT/Data" "$WORK/Data"
cd "$WORK"
unset QUORVEL_NO_CRASH_GUARD
# The game faults during its start-up; a sanitized build on a machine at load
# 40 gets there far inside this deadline (real seconds).
END_S=240
timeout "$END_S" "$QUORVEL" -noautopause -exception > out.txt 2> err.txt
status=$?
fail=0
if [ "$status" -eq 124 ]; then
  echo "the game did not end within $END_S s"; fail=1
elif [ "$status" -ne 255 ]; then
  echo "exit status $status, expected 255"; fail=1
fi
report="$(ls exception_*.txt 2>/dev/null | head -1)"
if [ -z "$report" ]; then
  echo "no exception_*.txt written"; fail=1
else
  [[ "$report" =~ ^exception_[0-9]{8}_[0-9]{6}\.txt$ ]] || { echo "report name $report"; fail=1; }
  for line in '^\[header\]$' '^Exception time: [0-9]{2}/[0-9]{2}/[0-9]{4}, at [0-9]{2}:[0-9]{2}:[0-9]{2}$' \
      '^Exception code: ACCESS_VIOLATION reading address 0x00000000$' '^Location: 0x[0-9a-f]{8,} ".*quorvel":0x[0-9a-f]{4}:0x[0-9a-f]{8}$' \
      '^\[stack\]$' '^Call stack: $' 'AppStartup\(\)\+0x' '^Stack data: \(RSP is [0-9a-f]{8,}\)$' '^Instruction data: ' \
      '^\[registers\]$' '^RIP: [0-9a-f]{16}  RSP: [0-9a-f]{16}$' '^\[modules\]$' '^base [0-9a-f]{8,} size [0-9a-f]{8} entry [0-9a-f]{8,} quorvel ' \
      '^\[memory\]$' '^\[extra\]$'; do
    grep -qE "$line" "$report" || { echo "missing in the report: $line"; fail=1; }
  done
fi
dump="$(ls minidump_*.mdmp 2>/dev/null | head -1)"
[ -n "$dump" ] && [ "$(head -c 4 "$dump")" = "MDMP" ] || { echo "no minidump with the MDMP signature"; fail=1; }
if [ "$fail" -ne 0 ]; then
  [ -n "$report" ] && head -40 "$report"
  tail -20 err.txt
  exit 1
fi
echo "exception: status 255, report $report with every section, minidump $dump"
