#!/usr/bin/env bash
# A query typed into the bar lists a Start Menu shortcut below it, with the first row selected;
# a query that matches nothing shows no list; the settings file written at exit holds the
# window's values and its place.
source "$(dirname "$0")/lib.sh"

programs=$(start_menu_programs) || fail "no APPDATA in the Wine prefix"
link="$programs/Quixotic Notes.lnk"
write_link "$link" 'C:\windows\notepad.exe'
trap 'rm -f "$link"; e2e_cleanup' EXIT

start_program
first=$E2E_PID
for _ in $(seq 1 150); do
    [[ -n "$(xdotool search --name '^Corvantile$' 2>/dev/null)" ]] && break
    sleep 0.2
done
# The bar hides itself right after start (auto-hide); a second start brings it up, retried
# while the first copy may still be starting and would hide a bar brought up too early.
bring_bar_up || fail "no bar titled Corvantile came up"
bar=$BAR
# The index is saved beside the program once it is built from the Start Menu.
for _ in $(seq 1 100); do [[ -s "$E2E_DIR/Corvantile.cache" ]] && break; sleep 0.2; done
[[ -s "$E2E_DIR/Corvantile.cache" ]] || fail "the index was not built"

eval "$(xdotool getwindowgeometry --shell "$bar")"
# A pixel in the first row of the list, if there is one, and the colour there.
row_x=$((X + WIDTH / 3))
row_y=$((Y + HEIGHT + 8))
pixel() { import -window root -crop "1x1+$row_x+$row_y" -depth 8 txt:- | tail -n 1 | awk '{print $3}'; }

xdotool windowfocus --sync "$bar"
xdotool type --delay 50 quixotic
found=""
for _ in $(seq 1 50); do
    colour=$(pixel)
    [[ "$colour" != "#000000" && "$colour" != "#FFFFFF" ]] && { found=$colour; break; }
    sleep 0.2
done
shot=$(screenshot quixotic)
[[ -n "$found" ]] || fail "no selected row below the bar (see $shot)"

# Escape empties the box; a query that matches nothing lists nothing.
xdotool key --window "$bar" Escape
xdotool type --delay 50 zqzqzqzq
sleep 2
[[ "$(pixel)" == "#000000" ]] || fail "a query without results shows a list ($(screenshot nothing))"
xdotool key --window "$bar" Escape

stop_program
settings="$E2E_DIR/Corvantile.xml"
[[ -s "$settings" ]] || fail "no settings file was written"
value() {
    xmllint --xpath "string(//node[@name='Window']/param[@key='$1']/@value)" "$settings"
}
[[ "$(value PosX)" == "$X" && "$(value PosY)" == "$Y" ]] ||
    fail "saved position $(value PosX),$(value PosY), window was at $X,$Y"
[[ "$(value AutoHide)" == true && "$(value AlwaysShowList)" == false ]] ||
    fail "saved window options differ from the defaults"
[[ "$(value HotKey)" == 32 && "$(value HotKeyModifier)" == 2 ]] || fail "saved hot-key differs"
delay=$(xmllint --xpath "string(//node[@name='CommandLine']/param[@key='Delay']/@value)" "$settings")
[[ "$delay" == 500 ]] || fail "saved typing delay is '$delay'"
echo "PASS $E2E_NAME"
