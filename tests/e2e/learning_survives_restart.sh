#!/usr/bin/env bash
# What the user runs for a query climbs for it, and stays after a restart: of two programs whose
# names begin with "m", the one with the longer name (so not first for "m") is run twice from
# the list for "m"; after the program ended and started again, it is first for "m". The other places of programs
# and the files are switched off in the settings, so the two are all "m" lists besides actions.
source "$(dirname "$0")/lib.sh"
use_own_prefix || fail "no fresh Wine prefix could be made"

programs=$(start_menu_programs) || fail "no APPDATA in the Wine prefix"
pad="$programs/Mango Pad.lnk"
clock="$programs/Meadow Clock.lnk"
write_link "$pad" 'C:\windows\system32\notepad.exe'
write_link "$clock" 'C:\windows\system32\clock.exe'
folder="$WINEPREFIX/drive_c/corvantile-e2e-$E2E_NAME-$$"
mkdir -p "$folder"
finish() {
    rm -f "$pad" "$clock"
    rm -rf "$folder"
    e2e_cleanup
}
trap finish EXIT

write_settings Programs.AppPaths=false Programs.Path=false Programs.AppsFolder=false \
    "FilesAndFolders.Folders=C:\\corvantile-e2e-$E2E_NAME-$$"

# Runs a row of the list for "m", the first one or the one the keys $1 select; prints which program came ("pad", "clock" or "none") and ends it.
run_row() {
    bring_bar_up || fail "a second start did not bring the bar up"
    xdotool windowfocus --sync "$BAR"
    xdotool type m
    wait_for_selected_row || fail "\"m\" listed nothing ($(screenshot nothing))"
    if [[ -n "${1:-}" ]]; then
        # shellcheck disable=SC2086 # one key name a word
        xdotool key --delay 100 $1
        sleep 0.3
    fi
    xdotool key Return
    local window name
    for _ in $(seq 1 40); do
        for name in pad clock; do
            if [[ $name == pad ]]; then
                window=$(xdotool search --onlyvisible --name 'Notepad$' 2>/dev/null | head -n 1)
            else
                window=$(xdotool search --onlyvisible --name '^Clock' 2>/dev/null | head -n 1)
            fi
            if [[ -n "$window" ]]; then
                local pid
                pid=$(xdotool getwindowpid "$window" 2>/dev/null)
                [[ -n "$pid" ]] && kill "$pid" 2>/dev/null
                while xdotool search --onlyvisible --name 'Notepad$|^Clock' >/dev/null 2>&1; do
                    sleep 0.2
                done
                echo "$name"
                return
            fi
        done
        sleep 0.2
    done
    # An action row was chosen: leave it.
    xdotool key Escape Escape Escape
    echo none
}

start_and_wait || fail "no window titled Corvantile appeared"
wait_for_index || fail "the index was not built"
# The rows for "m" begin with the Maps web search (the shortest name), the pad and the clock:
# names that begin alike rank shorter first.
third="Down Down"
came=$(run_row "$third")
[[ "$came" == clock ]] || fail "the third row for \"m\" runs $came, not the clock"
# Once run, it may have climbed to the top already.
came=$(run_row)
[[ "$came" == clock ]] || came=$(run_row "$third")
[[ "$came" == clock ]] || fail "the clock is neither first nor third for \"m\" after one run"
stop_program

start_and_wait || fail "the program did not start again"
now=$(run_row)
[[ "$now" == clock ]] || fail "after two runs and a restart, the first row for \"m\" runs $now"

echo "PASS $E2E_NAME"
