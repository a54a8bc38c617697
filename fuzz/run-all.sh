#!/usr/bin/env bash
# Runs every fuzz target for a bounded time from its seed corpus (fuzz/corpus/<name>/),
# several at once: usage  run-all.sh BUILD [SECONDS_EACH] [AT_ONCE]
# AT_ONCE defaults to the number of cores and never exceeds the number of targets.
# Each target still gets its full SECONDS_EACH; the first finding stops the run,
# shows that target's output and fails.
set -euo pipefail
BUILD="$1"; SECONDS_EACH="${2:-20}"; AT_ONCE="${3:-$(nproc)}"
cd "$(dirname "$0")/.."
shopt -s nullglob

targets=()
for exe in "$BUILD"/fuzz_*; do
  [ -x "$exe" ] && targets+=("$exe")
done
[ "$AT_ONCE" -ge 1 ] 2>/dev/null || AT_ONCE=1
[ "$AT_ONCE" -le "${#targets[@]}" ] || AT_ONCE="${#targets[@]}"

declare -A running=()  # pid -> target name

run_one() {
  local exe="$1" name work seeds=()
  name="$(basename "$exe")"
  work="$BUILD/corpus/$name"; mkdir -p "$work"
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  exec "$exe" -max_total_time="$SECONDS_EACH" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$work" "${seeds[@]}" > "$BUILD/$name.log" 2>&1
}

# Stops the targets still running (only those this script started).
stop_running() {
  local pid
  for pid in "${!running[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${!running[@]}"; do wait "$pid" 2>/dev/null || true; done
}

# Waits for one target to end; on a finding, shows its output and fails the run.
reap_one() {
  local pid status=0 name
  wait -n -p pid "${!running[@]}" || status=$?
  name="${running[$pid]}"
  unset "running[$pid]"
  if [ "$status" -ne 0 ]; then
    echo "-- $name: finding (exit $status)"
    tail -60 "$BUILD/$name.log"
    stop_running
    exit 1
  fi
  echo "-- $name (${SECONDS_EACH}s): $(grep -E 'stat::number_of_executed_units' "$BUILD/$name.log" || echo done)"
}

trap 'stop_running; exit 130' INT TERM
echo "-- ${#targets[@]} fuzz targets, ${SECONDS_EACH}s each, $AT_ONCE at once"
for exe in "${targets[@]}"; do
  while [ "${#running[@]}" -ge "$AT_ONCE" ]; do reap_one; done
  run_one "$exe" &
  running[$!]="$(basename "$exe")"
done
while [ "${#running[@]}" -gt 0 ]; do reap_one; done
echo "${#targets[@]} fuzz targets ran without a finding"
