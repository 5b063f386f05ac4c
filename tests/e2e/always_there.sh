#!/usr/bin/env bash
# The program stays usable whatever happens around it. Its tray icon, removed from outside, is
# back once a shell announces itself with "TaskbarCreated". A log-off that is asked for and then
# cancelled (WM_QUERYENDSESSION, WM_ENDSESSION with FALSE) leaves everything working. Then the
# everyday loop, three times over: the hot-key over another window, type, Escape (clears),
# Escape (hides); the hot-key, type, Enter on a result (it starts Wine's notepad); the hot-key,
# type. Each time the bar shows, its thread has the bar active with the edit box focused before
# anything outside focuses it, and what is typed lands in the edit box. A second start brings the
# bar up the same way.
source "$(dirname "$0")/lib.sh"

programs=$(start_menu_programs) || fail "no APPDATA in the Wine prefix"
link="$programs/Zephyrine Pad.lnk"
write_link "$link" 'C:\windows\notepad.exe'
finish() {
    local pad
    for pad in $(xdotool search --name 'Notepad' 2>/dev/null); do
        kill "$(xdotool getwindowpid "$pad" 2>/dev/null)" 2>/dev/null
    done
    rm -f "$link"
    e2e_cleanup
}
trap finish EXIT

open_other_window || fail "the probe's window did not show"
start_and_wait || fail "no window titled Corvantile appeared"
wait_for_index || fail "the index was not built"

wait_for_probe 10 tray-exists || fail "no tray icon at start"
probe tray-delete || fail "the tray icon could not be removed"
probe tray-exists && fail "the tray icon is still there"
probe taskbar-created || fail "TaskbarCreated could not be broadcast"
wait_for_probe 10 tray-exists || fail "the tray icon did not come back"

probe end-session >/dev/null || fail "the session messages could not be sent"
sleep 1
kill -0 "$E2E_PID" 2>/dev/null || fail "the program ended on a cancelled log-off"

# Shows the bar with the hot-key from the other window and checks the bar's own state, allowing
# a moment for Wine to settle the focus change that the X server reports meanwhile.
show_by_hot_key() {
    BAR=$(hot_key_from_other_window) || fail "$1: the hot-key did not show the bar ($(screenshot "$1"))"
    wait_for_probe 3 focus || fail "$1: the bar has not the keyboard: $(probe focus)"
}
# Types into the bar (focused from outside, there being no window manager) and checks the text.
type_into_bar() {
    xdotool windowfocus --sync "$BAR"
    xdotool type --delay 40 "$2"
    sleep 0.3
    state=$(probe focus)
    [[ "$state" == *"text=$2" ]] || fail "$1: typed '$2', the bar holds: $state"
}
close_notepad() {
    local pad
    pad=$(wait_for_window '.*Notepad') || fail "$1: notepad did not start ($(screenshot "$1"))"
    kill "$(xdotool getwindowpid "$pad")" 2>/dev/null
}

for round in 1 2 3; do
    show_by_hot_key "round $round, escape"
    type_into_bar "round $round, escape" zqzq
    xdotool key Escape
    sleep 0.3
    [[ "$(probe focus)" == *"text=" ]] || fail "round $round: the first Escape did not clear"
    xdotool key Escape
    sleep 0.5
    window_hidden Corvantile || fail "round $round: the second Escape did not hide the bar"

    show_by_hot_key "round $round, enter"
    type_into_bar "round $round, enter" zephyrine
    wait_for_selected_row || fail "round $round: nothing listed ($(screenshot "listed-$round"))"
    xdotool key Return
    close_notepad "round $round"
    window_hidden Corvantile || fail "round $round: the bar stayed after the run"

    show_by_hot_key "round $round, after the run"
    type_into_bar "round $round, after the run" abc
    xdotool key Escape Escape
    sleep 0.5
done

bring_bar_up || fail "a second start did not bring the bar up"
wait_for_probe 3 focus || fail "after a second start the bar has not the keyboard: $(probe focus)"
stop_program
echo "PASS $E2E_NAME"
