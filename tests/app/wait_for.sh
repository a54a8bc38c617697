# Sourced by the end-to-end scripts: the one way they wait for what the game
# does (a line in its output, a window, a picture, a file). None sleeps a fixed
# time: a busy machine makes a wait longer, never its verdict different.
#
# wait_for SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds
# (status 0); status 1 once SECONDS real seconds have passed since the call
# without success. The deadline is read off the clock, not counted in tries,
# so a slow check cannot stretch it and "within SECONDS s" holds as said.
wait_for() {
  local end=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000))
  shift
  until "$@"; do
    [ "${EPOCHREALTIME//[!0-9]/}" -ge "$end" ] && return 1
    sleep 0.2
  done
}
