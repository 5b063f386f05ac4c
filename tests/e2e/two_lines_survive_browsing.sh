#!/usr/bin/env bash
# Two-line rows are the user's setting: browsing into a folder shows its listing in one-line
# rows, and exiting while that listing is shown keeps two-line rows for the next start.
source "$(dirname "$0")/lib.sh"

settings="$E2E_DIR/Corvantile.xml"
cat >"$settings" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<preferences>
<node name="Corvantile"><node name="Window"><param key="CheckForUpdates" value="false"/>
<node name="CommandLine"><node name="List"><param key="TwoLines" value="true"/></node></node>
</node></node>
</preferences>
XML
saved_two_lines() {
    xmllint --xpath "string(//node[@name='List']/param[@key='TwoLines']/@value)" "$settings"
}

start_and_wait || fail "no window titled Corvantile appeared"
bring_bar_up || fail "the bar did not come up"
xdotool windowfocus --sync "$BAR" 2>/dev/null || true
xdotool type --delay 40 'c:\windows\'
wait_for_selected_row || fail "the folder was not listed ($(screenshot no-listing))"
stop_program
[[ "$(saved_two_lines)" == "true" ]] ||
    fail "exiting during a folder listing saved TwoLines as '$(saved_two_lines)'"

start_and_wait || fail "the second start showed no window"
stop_program
[[ "$(saved_two_lines)" == "true" ]] || fail "the next run saved TwoLines as '$(saved_two_lines)'"
echo "PASS $E2E_NAME"
