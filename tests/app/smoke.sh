#!/usr/bin/env bash
# The whole program under the test display: it opens its three windows, greets
# on standard output, keeps drawing frames, answers console commands typed on
# standard input, opens saved games named with -loadgame, and starts with its
# standard streams closed.
set -u
QUORVEL="$1"
cd "$(dirname "$0")/../.."
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
fail=0

# run NAME SECONDS ARGS...: the game with "help" and "mode" typed after start-up.
run() {
  local name="$1" seconds="$2"; shift 2
  { sleep 2; echo "help"; sleep 1; xwininfo -root -tree > "$WORK/$name.windows"; echo "mode"; sleep 1; } |
    timeout -s INT "$seconds" "$QUORVEL" "$@" > "$WORK/$name.out" 2> "$WORK/$name.err"
}
check() {  # check FILE PATTERN
  grep -qE "$2" "$1" || { echo "missing in $(basename "$1"): $2"; fail=1; }
}

run plain 8 -noautopause -tribemode
check "$WORK/plain.out" '^[0-9A-F]{8}: Welcome to Quorvel$'
check "$WORK/plain.out" '^[0-9A-F]{8}: >help$'
check "$WORK/plain.out" '^[0-9A-F]{8}: Current Commands:$'
check "$WORK/plain.out" '^[0-9A-F]{8}: \*{17}$'
check "$WORK/plain.out" '^[0-9A-F]{8}: Current mode: tribe$'
check "$WORK/plain.out" '^Building Terrain'
check "$WORK/plain.windows" '"QuorvelGL"'
check "$WORK/plain.windows" '"Quorvel Control Panel"'
check "$WORK/plain.windows" '"Debug Window"'

# A save that recorded the tribe mode makes it current.
run loaded 8 -noautopause -loadgame fuzz/corpus/fuzz_savefile/checked_save
check "$WORK/loaded.out" '^[0-9A-F]{8}: Current mode: tribe$'

# A damaged save is refused with a message and the game plays on.
run damaged 8 -noautopause -loadgame fuzz/corpus/fuzz_savefile/truncated_body
check "$WORK/damaged.err" 'Load Error'
check "$WORK/damaged.out" '^[0-9A-F]{8}: Current mode: creature$'

# A broken tribetuning.xml is read at start-up (in a copy of the data tree):
# its "Script Error" reaches standard error and the debug window.
mkdir -p "$WORK/tree/Data"
for entry in Data/*; do ln -s "$PWD/$entry" "$WORK/tree/Data/"; done
rm "$WORK/tree/Data/tribetuning.xml"
printf '<tuning>\n<int name="eatfood" data="3">\n' > "$WORK/tree/Data/tribetuning.xml"
(cd "$WORK/tree" && run tribetuning 5 -noautopause)
check "$WORK/tribetuning.err" 'Script Error.*tribetuning\.xml'
check "$WORK/tribetuning.out" '^[0-9A-F]{8}: \[Script Error\] .*tribetuning\.xml$'

# Started with standard input, output and error closed, the game finds
# /dev/null in their places (not its X connection) and plays on.
"$QUORVEL" -noautopause 0<&- 1>&- 2>&- &
game=$!
sleep 3
for fd in 0 1 2; do
  [ "$(readlink "/proc/$game/fd/$fd")" = /dev/null ] ||
    { echo "closed streams: descriptor $fd is $(readlink "/proc/$game/fd/$fd")"; fail=1; }
done
kill -0 "$game" 2> /dev/null || { echo "closed streams: the game ended"; fail=1; }
kill "$game" 2> /dev/null
wait "$game" 2> /dev/null

if [ "$fail" -ne 0 ]; then
  for f in "$WORK"/*.out "$WORK"/*.err; do echo "--- $(basename "$f")"; grep -v 'Supported Extensions' "$f" | tail -20; done
  exit 1
fi
echo "smoke: windows, greeting, console and saved games as expected"
