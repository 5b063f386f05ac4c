#!/usr/bin/env bash
# The program starts with its bar at the top centre of the screen, keeps to one copy per
# session, brings the running copy forward on a second start, and ends on its Exit command.
source "$(dirname "$0")/lib.sh"

start_program
first=$E2E_PID
bar=$(wait_for_window Corvantile 30) || fail "no window titled Corvantile appeared"

eval "$(xdotool getwindowgeometry --shell "$bar")"
screen_width=$(xdpyinfo | awk '/dimensions:/ {split($2, size, "x"); print size[1]}')
centre=$((X + WIDTH / 2))
((centre >= screen_width / 2 - 2 && centre <= screen_width / 2 + 2)) ||
    fail "bar not centred: x=$X width=$WIDTH screen=$screen_width"
((Y == 0)) || fail "bar not at the top edge: y=$Y"
((HEIGHT < 60)) || fail "bar too tall for a search bar: $HEIGHT"
screenshot started >/dev/null

# Escape hides the bar (auto-hide is on by default).
xdotool key --window "$bar" Escape
for _ in $(seq 1 25); do window_hidden Corvantile && break; sleep 0.2; done
window_hidden Corvantile || fail "Escape did not hide the bar"

# A second start ends within a few seconds, and the first copy's bar shows again.
start_program
second=$E2E_PID
wait_for_exit "$second" 10 || fail "the second copy did not end"
kill -0 "$first" 2>/dev/null || fail "the first copy ended too"
wait_for_window Corvantile 10 >/dev/null || fail "the second start did not bring the bar back"
(($(xdotool search --name '^Corvantile$' | wc -l) == 1)) || fail "more than one bar exists"

E2E_PID=$first
stop_program
echo "PASS $E2E_NAME"
