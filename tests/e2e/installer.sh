#!/usr/bin/env bash
# The installer as a user meets it, in a Wine prefix of its own: a silent install puts the program
# just built and its Start Menu shortcut in place with a Programs and Features entry; installing
# again while the program runs ends it, replaces it and starts it again, one copy running; the
# silent uninstaller takes the program, the shortcut and the entry away and keeps the settings.
source "$(dirname "$0")/lib.sh"

UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvantile'

"$E2E_ROOT/scripts/dist.sh" "$E2E_EXE_SOURCE" "$E2E_DIR/dist" >/dev/null ||
    fail "packing failed"
setup=$(ls "$E2E_DIR"/dist/Corvantile-*-setup.exe 2>/dev/null)
[[ -f "$setup" ]] || fail "no installer was made"
ls "$E2E_DIR"/dist/Corvantile-*.zip >/dev/null 2>&1 || fail "no portable zip was made"

use_own_prefix || fail "no fresh Wine prefix could be made"
user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v '/Public/$' | head -n 1)

local_app="${user_dir}AppData/Local/Programs/Corvantile"
program="$local_app/Corvantile.exe"
menu_link="${user_dir}AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Corvantile.lnk"

# Runs the installed program in the background; its wine pid goes to E2E_PID.
start_installed() {
    wine "$program" >/dev/null 2>&1 &
    E2E_PID=$!
    E2E_PIDS+=("$E2E_PID")
}

# How many programs show a bar in our prefix.
bars() {
    wine "$CORVANTILE_PROBE" bars 2>/dev/null | tr -d '\r'
}

# Waits up to $1 seconds for exactly one bar.
wait_for_one_bar() {
    local deadline=$((SECONDS + $1))
    while ((SECONDS < deadline)); do
        [[ "$(bars)" == 1 ]] && return 0
        sleep 0.5
    done
    return 1
}

wine "$setup" /S >/dev/null 2>&1 || fail "the silent install failed"
cmp -s "$program" "$E2E_EXE_SOURCE" || fail "the installed program is not the one just built"
[[ -f "$menu_link" ]] || fail "no Start Menu shortcut"
# Read whole first: grep -q would end early and, under pipefail, fail a pipe that matched.
link_info=$(lnkinfo "$menu_link" 2>/dev/null)
grep -qi 'Programs\\Corvantile\\Corvantile\.exe' <<<"$link_info" ||
    fail "the Start Menu shortcut does not start the installed program"
entry=$(wine reg query "$UNINSTALL_KEY" 2>/dev/null | tr -d '\r')
for value in DisplayName DisplayIcon Publisher DisplayVersion EstimatedSize NoModify NoRepair \
    UninstallString; do
    grep -q "$value" <<<"$entry" || fail "the Programs and Features entry has no $value"
done
version=$(sed -n 's/^project(Corvantile VERSION \([0-9.]*\).*/\1/p' "$E2E_ROOT/CMakeLists.txt")
grep -q "DisplayVersion.*$version" <<<"$entry" || fail "the entry's version is not $version"

start_installed
first=$E2E_PID
wait_for_one_bar 30 || fail "the installed program did not start"
grep -q "started" "$local_app/Corvantile.log" 2>/dev/null || fail "the program logged no start"
touch -d '2001-01-01' "$program"

wine "$setup" /S >/dev/null 2>&1 || fail "the silent upgrade failed"
wait_for_exit "$first" 20 || fail "the copy running during the upgrade did not end"
[[ "$(stat -c %Y "$program")" != "$(date -d 2001-01-01 +%s)" ]] ||
    fail "the running program was not replaced"
cmp -s "$program" "$E2E_EXE_SOURCE" || fail "the upgraded program is not the one just built"
wait_for_one_bar 30 || fail "not exactly one copy runs after the upgrade ($(bars) bars)"
grep -q "ended" "$local_app/Corvantile.log" || fail "the copy ended by the upgrade logged no end"
[[ $(grep -c "started" "$local_app/Corvantile.log") -ge 2 ]] ||
    fail "the upgrade did not start the program again"

wine "${local_app}/Uninstall.exe" /S >/dev/null 2>&1 || fail "the silent uninstall failed"
# The uninstaller works from a copy of itself and returns at once.
for _ in $(seq 1 60); do
    [[ ! -e "$program" && ! -e "$local_app/Uninstall.exe" ]] && break
    sleep 0.5
done
[[ ! -e "$program" ]] || fail "the uninstaller left the program"
[[ ! -e "$local_app/Uninstall.exe" ]] || fail "the uninstaller left itself"
[[ ! -e "$menu_link" ]] || fail "the uninstaller left the Start Menu shortcut"
wine reg query "$UNINSTALL_KEY" >/dev/null 2>&1 && fail "the Programs and Features entry is left"
[[ "$(bars)" == 0 ]] || fail "the program still runs after the uninstall"
[[ -f "$local_app/Corvantile.xml" ]] || fail "a silent uninstall did not keep the settings"
echo "PASS $E2E_NAME"
