#!/usr/bin/env bash
# The open windows are searched by their titles: with Notepad open and another window opened
# after it, part of Notepad's title and Enter bring Notepad to the front; the close action (the
# second in the chooser) closes it.
source "$(dirname "$0")/lib.sh"

folder="$WINEPREFIX/drive_c/corvantile-e2e-$E2E_NAME-$$"
mkdir -p "$folder"
printf "Ångström Daten\r\n" >"$folder/Quillon Notes.txt"
notepad_pid=""
finish() {
    [[ -n "$notepad_pid" ]] && kill "$notepad_pid" 2>/dev/null
    rm -rf "$folder"
    e2e_cleanup
}
trap finish EXIT

start_and_wait || fail "no window titled Corvantile appeared"
wait_for_index || fail "the index was not built"
wine notepad "C:\\corvantile-e2e-$E2E_NAME-$$\\Quillon Notes.txt" >/dev/null 2>&1 &
notepad_pid=$!
E2E_PIDS+=("$notepad_pid")
wait_for_window 'Quillon.*Notepad' >/dev/null || fail "Notepad did not open ($(screenshot no-notepad))"
open_other_window || fail "the other window did not open"

hot_key_from_other_window >/dev/null || fail "the hot-key did not bring the bar up"
[[ "$(probe foreground)" == "Corvantile" ]] || fail "the bar is not in front: $(probe foreground)"
xdotool type --delay 50 quillon
wait_for_selected_row || fail "\"quillon\" listed nothing ($(screenshot nothing))"
xdotool key Return
wait_for_probe 5 foreground-is Quillon ||
    fail "Notepad did not come to the front: $(probe foreground) ($(screenshot not-switched))"

hot_key_from_other_window >/dev/null || fail "the hot-key did not bring the bar up again"
xdotool type --delay 50 quillon
wait_for_selected_row || fail "\"quillon\" listed nothing the second time"
xdotool key Tab
sleep 0.5
xdotool key Down
sleep 0.3
screenshot chooser >/dev/null
xdotool key Return
wait_for_exit "$notepad_pid" 10 || fail "Notepad did not close ($(screenshot not-closed))"
notepad_pid=""
echo "PASS $E2E_NAME"
