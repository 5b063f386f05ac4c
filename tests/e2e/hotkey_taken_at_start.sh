#!/usr/bin/env bash
# Another program holds Ctrl+Space while ours starts and lets go of it a few seconds later. The
# start is not held up by any message box, and once the key is free the program takes it on its
# own: Ctrl+Space over another window then brings the bar up with the keyboard in its edit box.
source "$(dirname "$0")/lib.sh"

open_other_window || fail "the probe's window did not show"
held="$E2E_DIR/held.txt"
exe=${CORVANTILE_PROBE:-$E2E_ROOT/build/win/tests/e2e/corvantile_probe.exe}
wine "$exe" hold 2 32 8 >"$held" 2>/dev/null &
E2E_PIDS+=($!)
holder=$!
for _ in $(seq 1 50); do
    grep -q held "$held" && break
    sleep 0.2
done
grep -q held "$held" || fail "the probe could not take Ctrl+Space"

# A later run (a settings file exists): the first run's Alt+Space fallback does not apply.
cat >"$E2E_DIR/Corvantile.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<preferences>
<node name="Corvantile"><node name="Window">
<param key="HotKeyModifier" value="2"/><param key="CheckForUpdates" value="false"/>
</node></node>
</preferences>
XML
start_and_wait || fail "no window titled Corvantile appeared"
# Until the probe lets go, watch for a message box (it would carry the program's name as title).
while kill -0 "$holder" 2>/dev/null; do
    probe dialog && fail "a message box held the start up ($(screenshot message-box))"
    sleep 0.5
done

deadline=$((SECONDS + 20))
until BAR=$(hot_key_from_other_window); do
    ((SECONDS < deadline)) || fail "Ctrl+Space never brought the bar up ($(screenshot no-bar))"
done
probe dialog && fail "a message box showed ($(screenshot message-box))"
wait_for_probe 3 focus || fail "the bar shows without the keyboard: $(probe focus)"
stop_program
echo "PASS $E2E_NAME"
