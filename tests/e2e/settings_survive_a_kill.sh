#!/usr/bin/env bash
# Settings are written while the program runs, not only when it ends: a change made in the
# Preferences is in the settings file even when the program is killed right after OK.
source "$(dirname "$0")/lib.sh"

resource_id() {
    awk -v name="$1" '$1 == "#define" && $2 == name {print $3}' "$E2E_ROOT/src/res/resource.h"
}

start_and_wait || fail "no window titled Corvantile appeared"
wait_for_index || fail "the index was not built"
probe command "$(resource_id ID_PREFERENCES)" || fail "the bar took no command"
wait_for_window Preferences >/dev/null || fail "the Preferences did not open ($(screenshot no-prefs))"
# Auto-hide is on by default; the check box turns it off.
probe prefs-ok "$(resource_id IDC_PREFS_AUTOHIDE)" || fail "the Preferences had no such box"
for _ in $(seq 1 25); do
    window_hidden Preferences && break
    sleep 0.2
done
window_hidden Preferences || fail "OK did not close the Preferences ($(screenshot prefs-open))"

sleep 0.5
kill -9 "$E2E_PID"
wait_for_exit "$E2E_PID" 10 || fail "the program outlived kill -9"
settings="$E2E_DIR/Corvantile.xml"
[[ -s "$settings" ]] || fail "no settings file was written before the kill"
autohide=$(xmllint --xpath "string(//node[@name='Window']/param[@key='AutoHide']/@value)" \
    "$settings")
[[ "$autohide" == "false" ]] || fail "the saved AutoHide is '$autohide', not the change made"
echo "PASS $E2E_NAME"
