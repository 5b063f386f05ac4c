#!/usr/bin/env bash
# The program starts with its bar hidden (auto-hide is on by default), keeps to one copy per
# session, brings the running copy's bar up on a second start, and ends on its Exit command.
# (Where the bar shows and what Escape does are checked by the search bar's window tests.)
source "$(dirname "$0")/lib.sh"

start_and_wait || fail "no window titled Corvantile appeared"
first=$E2E_PID
bring_bar_up || fail "a second start did not bring the bar up"
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
(($(xdotool search --name '^Corvantile$' | wc -l) == 1)) || fail "more than one bar exists"
screenshot started >/dev/null

stop_program
echo "PASS $E2E_NAME"
