#!/usr/bin/env bash
# Enter runs what was typed: a text the shell does not know starts its search at once (no
# typing delay), and Enter on the listed Start Menu shortcut starts its program, Wine's notepad,
# and hides the bar (auto-hide is on by default).
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

start_program
first=$E2E_PID
for _ in $(seq 1 150); do
    [[ -n "$(xdotool search --name '^Corvantile$' 2>/dev/null)" ]] && break
    sleep 0.2
done
for _ in $(seq 1 100); do [[ -s "$E2E_DIR/Corvantile.cache" ]] && break; sleep 0.2; done
[[ -s "$E2E_DIR/Corvantile.cache" ]] || fail "the index was not built"

# With auto-hide on the bar goes away after start-up; a second start brings it forward (tried
# again while the first copy may still hide a bar brought up too early).
bring_bar_up || fail "no bar titled Corvantile came up"
bar=$BAR
eval "$(xdotool getwindowgeometry --shell "$bar")"
row_x=$((X + WIDTH / 3))
row_y=$((Y + HEIGHT + 8))
pixel() { import -window root -crop "1x1+$row_x+$row_y" -depth 8 txt:- | tail -n 1 | awk '{print $3}'; }

# Enter right after typing, before the typing delay has passed.
xdotool windowfocus --sync "$bar"
xdotool type --delay 20 zephyrine
xdotool key --window "$bar" Return
found=""
for _ in $(seq 1 50); do
    colour=$(pixel)
    [[ "$colour" != "#000000" && "$colour" != "#FFFFFF" ]] && { found=$colour; break; }
    sleep 0.2
done
[[ -n "$found" ]] || fail "Enter on an unknown text listed nothing ($(screenshot refused))"

# The first row is selected: Enter runs its default action, opening the shortcut's program.
xdotool key --window "$bar" Return
pad=""
for _ in $(seq 1 100); do
    pad=$(xdotool search --onlyvisible --name "Notepad" 2>/dev/null | head -n 1)
    [[ -n "$pad" ]] && break
    sleep 0.2
done
[[ -n "$pad" ]] || fail "notepad did not start ($(screenshot no-notepad))"
notepad_pid=$(xdotool getwindowpid "$pad" 2>/dev/null || true)
window_hidden Corvantile || fail "the bar stayed visible after the run ($(screenshot shown))"

stop_program
echo "PASS $E2E_NAME"
