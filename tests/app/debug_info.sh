#!/usr/bin/env bash
# "Show Debug Info" in the running game: clicking the control panel's check box
# makes the game window show the frame rate and the camera lines at its bottom
# right, where no HUD draws. Runs on an X server of its own, so that no other test's windows can
# take the click.
set -u
QUORVEL="$1"
cd "$(dirname "$0")/../.."
NAME="debug info"
. tests/app/own_display.sh

"$QUORVEL" -noautopause < /dev/null > "$WORK/game.out" 2> "$WORK/game.err" &
GAME=$!
wait_for $START_S window_id "Quorvel Control Panel" > /dev/null || fail "no control panel within $START_S s"
wait_for $START_S grep -q "Welcome to Quorvel" "$WORK/game.out" || fail "no greeting within $START_S s"
GL=$(window_id QuorvelGL)
PANEL=$(window_id "Quorvel Control Panel")
[ -n "$GL" ] || fail "no game window"

# White overlay text in the game window's bottom right: the count of pure
# white pixels in the 16 rows that end B rows above the bottom, last 300 columns.
white_in_rows() {  # white_in_rows B
  local size; size=$(identify -format '%w %h' "$WORK/shot.png"); local w=${size% *} h=${size#* }
  convert "$WORK/shot.png" -crop "300x16+$((w - 300))+$((h - $1 - 16))" +repage -fill black +opaque white \
    -format '%[fx:round(mean*w*h)]' info:
}
shoot() {
  xdotool windowraise "$GL"
  import -window "$GL" "$WORK/shot.png" 2> /dev/null
}
planet_drawn() {  # some colour in the middle of the window
  shoot
  [ "$(convert "$WORK/shot.png" -gravity center -crop 40x40+0+0 +repage -format '%[fx:maxima.intensity > 0.1]' info:)" = 1 ]
}
wait_for $SHOW_S planet_drawn || fail "the game window shows no planet within $SHOW_S s"
[ "$(white_in_rows 4)" -eq 0 ] && [ "$(white_in_rows 20)" -eq 0 ] || fail "overlay text before the box was checked"

# The panel's check boxes are the runs of their frame colour down one column;
# "Show Debug Info" is the second, after "Pause".
eval "$(xdotool getwindowgeometry --shell "$PANEL")"
[ "$Y" -lt 0 ] && Y=0
import -window root "$WORK/screen.png" 2> /dev/null
BOX_Y=$(convert "$WORK/screen.png" -crop "1x240+$((X + 17))+$Y" +repage txt:- |
  awk -F'[,:]' '/#1D2F49/ { y = $2; if (y != last + 1) { runs++; if (runs == 2) start = y } if (runs == 2) end = y; last = y }
    END { if (end) print int((start + end) / 2) }')
[ -n "$BOX_Y" ] || fail "no \"Show Debug Info\" check box found"
xdotool mousemove $((X + 17)) $((Y + BOX_Y)) mousedown 1 sleep 0.15 mouseup 1

# Three lines 16 pixels apart, the last baseline 8 above the bottom: frame
# rate, camera distance, camera pitch; the distance line is the longest.
lines_shown() {
  shoot
  [ "$(white_in_rows 36)" -gt 40 ] && [ "$(white_in_rows 20)" -gt 40 ] && [ "$(white_in_rows 4)" -gt 40 ]
}
wait_for $SHOW_S lines_shown ||
  { cp "$WORK/shot.png" /tmp/debug_info_failed.png; fail "no overlay lines within $SHOW_S s (see /tmp/debug_info_failed.png)"; }
rightmost() {  # rightmost B: the right-most white column (the box's width plus x) of the rows B above the bottom
  local size; size=$(identify -format '%w %h' "$WORK/shot.png"); local w=${size% *} h=${size#* }
  convert "$WORK/shot.png" -crop "400x16+$((w - 400))+$((h - $1 - 16))" +repage -fill black +opaque white \
    -format '%@' info: | awk -F'[x+]' '{ print $1 + $3 }'
}
[ "$(rightmost 20)" -gt "$(rightmost 36)" ] || fail "the camera distance line is not the longest"
[ "$(rightmost 20)" -gt "$(rightmost 4)" ] || fail "the camera distance line is not the longest"
[ -n "${QV_DEBUG_INFO_SHOT:-}" ] && cp "$WORK/shot.png" "$QV_DEBUG_INFO_SHOT"
echo "debug info: frame rate and camera lines shown"
