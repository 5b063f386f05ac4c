#!/usr/bin/env bash
# Each letter a-z typed alone and left to the typing delay is searched for: no web site or other
# action takes it. A probe watches the box and the icon beside it, which shows the current
# action once one is chosen.
source "$(dirname "$0")/lib.sh"
use_own_prefix || fail "no fresh Wine prefix could be made"

start_and_wait || fail "no window titled Corvantile appeared"
wait_for_index || fail "the index was not built"
bring_bar_up || fail "a second start did not bring the bar up"
xdotool windowfocus --sync "$BAR"

watch_file="$E2E_DIR/texts"
wine "${CORVANTILE_PROBE:-$E2E_ROOT/build/win/tests/e2e/corvantile_probe.exe}" watch-text 40 \
    >"$watch_file" 2>/dev/null &
watcher=$!
E2E_PIDS+=("$watcher")
for _ in $(seq 1 50); do
    grep -q watching "$watch_file" 2>/dev/null && break
    sleep 0.2
done

for letter in {a..z}; do
    xdotool type "$letter"
    sleep 0.8 # past the typing delay (500 ms)
    xdotool key BackSpace
done
sleep 0.3
kill "$watcher" 2>/dev/null
seen=$(tr -d '\r' <"$watch_file" | grep -v watching | sed 's/^text=//' | grep -v '^$' | tr '\n' ' ')
[[ "$seen" == "$(echo {a..z}) " ]] || fail "the box and icon went through \"$seen\""
echo "PASS $E2E_NAME"
