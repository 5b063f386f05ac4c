#!/usr/bin/env bash
# The program starts with its bar hidden (auto-hide is on by default), keeps to one copy per
# session, brings the running copy's bar up at the top centre of the screen on a second start,
# and ends on its Exit command.
source "$(dirname "$0")/lib.sh"

start_and_wait || fail "no window titled Corvantile appeared"
first=$E2E_PID
bring_bar_up || fail "a second start did not bring the bar up"
bar=$BAR
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
(($(xdotool search --name '^Corvantile$' | wc -l) == 1)) || fail "more than one bar exists"

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
bring_bar_up || fail "the second start did not bring the bar back"
kill -0 "$first" 2>/dev/null || fail "the first copy ended too"
(($(xdotool search --name '^Corvantile$' | wc -l) == 1)) || fail "more than one bar exists"

stop_program
echo "PASS $E2E_NAME"
