#!/usr/bin/env bash
# Runs every test binary in one process, as CTest does not: whole, then
# shuffled with each seed given, so cases that lean on each other's leftovers
# show up. From the repository root, each run on an X server of its own.
#
#   tests/run-whole.sh [build-dir] [seed...]    default: build, seeds 1 2 3
#
# JOBS runs at once (default 4); the logs of failing runs are kept and named.
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"; shift || true
seeds=("$@"); [ ${#seeds[@]} -gt 0 ] || seeds=(1 2 3)
# The environment CTest gives every test (tests/tests.cmake writes it).
. "$build/test-environment.sh" || { echo "configure $build again: it has no test-environment.sh"; exit 1; }
logs="$(mktemp -d /tmp/quorvel-run-whole-XXXXXX)"

runs=()
for bin in "$build"/tests_*; do
  [ -f "$bin" ] && [ -x "$bin" ] || continue
  runs+=("$bin whole")
  for seed in "${seeds[@]}"; do runs+=("$bin $seed"); done
done
[ ${#runs[@]} -gt 0 ] || { echo "no test binaries in $build"; exit 1; }

printf '%s\n' "${runs[@]}" | xargs -P "${JOBS:-4}" -L1 bash -c '
  bin=$0 how=$1 log="'"$logs"'/$(basename "$0").$1.log"
  args=(); [ "$how" = whole ] || args=(--gtest_shuffle --gtest_random_seed="$how")
  if xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$bin" "${args[@]}" >"$log" 2>&1; then rm -f "$log"
  else echo "FAILED: $bin ${args[*]:-(whole)}  log: $log"; fi'

failed=$(ls "$logs" | wc -l)
echo "${#runs[@]} runs, $failed failed"
[ "$failed" -eq 0 ] && rmdir "$logs"
[ "$failed" -eq 0 ]
