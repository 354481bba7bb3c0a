#!/usr/bin/env bash
# The real program under a private X server, driven like a user with xdotool: it maps a window
# of 506 x 441, typing reaches the boxes and changes the results, and Alt+Q ends it with status 0.
#   e2e.sh path/to/fuelix
set -euo pipefail
. "$(dirname "$0")/xsession.sh"
start_fuelix "$(realpath "$1")"

info=$(xwininfo -id "$window")
size=$(awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w "x" h}' <<<"$info")
grep -q 'Map State: IsViewable' <<<"$info" && [ "$size" = 506x441 ] ||
    fail "window $window: client area $size, $(grep 'Map State' <<<"$info")"
echo "ok: window mapped with a 506x441 client area"

final=65x25+303+352 # FinalOctaneLbl
tank=33x17+252+72   # TankValueLbl
xdotool windowfocus --sync "$window"
start_final=$(region_sum $final)
start_tank=$(region_sum $tank)
# The focus starts in the tank's octane rating: "91x" is no number, so the results show "???".
xdotool type --delay 30 x
wait_region $final != "$start_final" || fail "typing did not change the result"
xdotool key --delay 30 BackSpace
wait_region $final = "$start_final" || fail "deleting did not restore the result"
wait_region $tank = "$start_tank" || fail "the tank volume did not come back"
echo "ok: typing reached the first box, the results followed"
# Tab selects the capacity box's text; typing "20" over it changes the volume in the tank.
xdotool key --delay 30 Tab type --delay 30 20
wait_region $tank != "$start_tank" || fail "the capacity did not reach the result"
echo "ok: typing reached the second box"

xdotool key --delay 30 alt+q
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$pid" 2>/dev/null && fail "Alt+Q did not end the program"
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "Fuelix ended with status $status"
echo "ok: Alt+Q ended Fuelix with status 0"
echo "1 passed, 0 failed"
