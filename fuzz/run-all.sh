#!/usr/bin/env bash
# Runs every fuzz target for a bounded time from its seed corpus (fuzz/corpus/<name>/).
set -euo pipefail
BUILD="$1"; SECONDS_EACH="${2:-20}"
cd "$(dirname "$0")/.."
shopt -s nullglob
count=0
for exe in "$BUILD"/fuzz_*; do
  [ -x "$exe" ] || continue
  name="$(basename "$exe")"
  work="$BUILD/corpus/$name"; mkdir -p "$work"
  seeds=(); [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  echo "-- $name (${SECONDS_EACH}s)"
  "$exe" -max_total_time="$SECONDS_EACH" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$work" "${seeds[@]}" > "$BUILD/$name.log" 2>&1 || { tail -60 "$BUILD/$name.log"; exit 1; }
  grep -E 'stat::number_of_executed_units' "$BUILD/$name.log" || true
  count=$((count+1))
done
echo "$count fuzz targets ran without a finding"
