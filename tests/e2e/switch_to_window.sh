#!/usr/bin/env bash
# The open windows are searched by their titles: with Notepad open and another window opened
# after it, part of Notepad's title and Enter bring Notepad to the front; the close action (the
# second in the chooser) closes it.
source "$(dirname "$0")/lib.sh"
use_own_prefix || fail "no fresh Wine prefix could be made"

folder="$WINEPREFIX/drive_c/corvantile-e2e-$E2E_NAME-$$"
mkdir -p "$folder"
printf "Quillon notes\r\n" >"$folder/Quillon Notes.txt"
notepad_pid=""
finish() {
    [[ -n "$notepad_pid" ]] && kill "$notepad_pid" 2>/dev/null
    rm -rf "$folder"
    e2e_cleanup
}
trap finish EXIT

# Waits for a selected first row; looks further right than the shared check, past the window
# title's white letters.
wait_for_selected_window_row() {
    local colour
    for _ in $(seq 1 50); do
        eval "$(xdotool getwindowgeometry --shell "$BAR")"
        colour=$(import -window root -crop "1x1+$((X + WIDTH * 3 / 4))+$((Y + HEIGHT + 8))" \
            -depth 8 txt:- | tail -n 1 | awk '{print $3}')
        [[ "$colour" != "#000000" && "$colour" != "#FFFFFF" ]] && return 0
        sleep 0.2
    done
    return 1
}

start_and_wait || fail "no window titled Corvantile appeared"
wait_for_index || fail "the index was not built"
wine notepad "C:\\corvantile-e2e-$E2E_NAME-$$\\Quillon Notes.txt" >/dev/null 2>&1 &
notepad_pid=$!
E2E_PIDS+=("$notepad_pid")
pad=$(wait_for_window 'Quillon.*Notepad') || fail "Notepad did not open ($(screenshot no-notepad))"
# Below the bar's list: without a window manager, Wine may stack the list under it.
xdotool windowmove "$pad" 0 300
open_other_window || fail "the other window did not open"

BAR=$(hot_key_from_other_window) || fail "the hot-key did not bring the bar up"
[[ "$(probe foreground)" == "Corvantile" ]] || fail "the bar is not in front: $(probe foreground)"
xdotool type --delay 50 quillon
wait_for_selected_window_row || fail "\"quillon\" listed nothing ($(screenshot nothing))"
xdotool key Return
wait_for_probe 5 foreground-is Quillon ||
    fail "Notepad did not come to the front: $(probe foreground) ($(screenshot not-switched))"

BAR=$(hot_key_from_other_window) || fail "the hot-key did not bring the bar up again"
xdotool type --delay 50 quillon
wait_for_selected_window_row || fail "\"quillon\" listed nothing the second time"
xdotool key Tab
sleep 0.5
xdotool key Down
sleep 0.3
screenshot chooser >/dev/null
xdotool key Return
wait_for_exit "$notepad_pid" 10 || fail "Notepad did not close ($(screenshot not-closed))"
notepad_pid=""
echo "PASS $E2E_NAME"
