#!/usr/bin/env bash
# A program without a Start Menu shortcut is found where Windows keeps it: "notepad" lists the
# Notepad of the system folder (on PATH), and Enter starts it.
source "$(dirname "$0")/lib.sh"
use_own_prefix || fail "no fresh Wine prefix could be made"

programs=$(start_menu_programs) || fail "no APPDATA in the Wine prefix"
if grep -rqil notepad "$programs" 2>/dev/null; then
    fail "the Start Menu of the prefix links Notepad already: $(grep -ril notepad "$programs")"
fi
notepad_pid=""
finish() {
    [[ -n "$notepad_pid" ]] && kill "$notepad_pid" 2>/dev/null
    e2e_cleanup
}
trap finish EXIT

start_and_wait || fail "no window titled Corvantile appeared"
wait_for_index || fail "the index was not built"
bring_bar_up || fail "a second start did not bring the bar up"
xdotool windowfocus --sync "$BAR"
xdotool type --delay 50 notepad
wait_for_selected_row || fail "\"notepad\" listed nothing ($(screenshot nothing))"
screenshot listed >/dev/null
xdotool key --window "$BAR" Return
pad=$(wait_for_window '.*Notepad') || fail "Enter did not start Notepad ($(screenshot no-notepad))"
notepad_pid=$(xdotool getwindowpid "$pad" 2>/dev/null || true)
[[ -n "$notepad_pid" ]] || fail "no process for the Notepad window"
kill -0 "$notepad_pid" || fail "the Notepad process is gone"
echo "PASS $E2E_NAME"
