#!/usr/bin/env bash
# The program keeps to one copy per session: a second start brings the running copy's bar up and
# ends. The bar over a Start Menu shortcut: a query that matches nothing shows no list; Enter on
# a text the shell does not know starts its search at once (no typing delay) and lists the
# shortcut with the first row selected; Enter on it starts its program, Wine's notepad, and
# hides the bar (auto-hide is on by default). The program ends on its Exit command, and the
# settings file written then holds the window's place.
source "$(dirname "$0")/lib.sh"

programs=$(start_menu_programs) || fail "no APPDATA in the Wine prefix"
link="$programs/Zephyrine Pad.lnk"
write_link "$link" 'C:\windows\notepad.exe'
notepad_pid=""
finish() {
    [[ -n "$notepad_pid" ]] && kill "$notepad_pid" 2>/dev/null
    rm -f "$link"
    e2e_cleanup
}
trap finish EXIT

start_and_wait || fail "no window titled Corvantile appeared"
wait_for_index || fail "the index was not built"
bring_bar_up || fail "a second start did not bring the bar up"
kill -0 "$E2E_PID" 2>/dev/null || fail "the first copy ended"
(($(xdotool search --name '^Corvantile$' | wc -l) == 1)) || fail "more than one bar exists"
eval "$(xdotool getwindowgeometry --shell "$BAR")"

xdotool windowfocus --sync "$BAR"
xdotool type --delay 50 zqzqzqzq
sleep 2
[[ "$(first_row_colour)" == "#000000" ]] ||
    fail "a query without results shows a list ($(screenshot nothing))"
xdotool key --window "$BAR" Escape

# Enter right after typing, before the typing delay has passed.
xdotool type --delay 20 zephyrine
xdotool key --window "$BAR" Return
wait_for_selected_row || fail "Enter on an unknown text listed nothing ($(screenshot refused))"

# The first row is selected: Enter runs its default action, opening the shortcut's program.
xdotool key --window "$BAR" Return
pad=$(wait_for_window '.*Notepad') || fail "notepad did not start ($(screenshot no-notepad))"
notepad_pid=$(xdotool getwindowpid "$pad" 2>/dev/null || true)
window_hidden Corvantile || fail "the bar stayed visible after the run ($(screenshot shown))"

stop_program
settings="$E2E_DIR/Corvantile.xml"
[[ -s "$settings" ]] || fail "no settings file was written"
value() {
    xmllint --xpath "string(//node[@name='Window']/param[@key='$1']/@value)" "$settings"
}
[[ "$(value PosX)" == "$X" && "$(value PosY)" == "$Y" ]] ||
    fail "saved position $(value PosX),$(value PosY), window was at $X,$Y"
echo "PASS $E2E_NAME"
